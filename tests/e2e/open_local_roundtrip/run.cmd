start
open saved.loc_align
save again.loc_align as Local
save again.sum_align as summary
exit
