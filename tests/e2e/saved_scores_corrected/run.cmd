start
! Positive penalties in a saved header are read as penalties.
open positive.loc_align
expand
save expanded.loc_align as Local
exit
