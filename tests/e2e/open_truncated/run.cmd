start
open cut.loc_align
save after.loc_align as Local
exit
