start
! The opened file's header holds a Block of 1..500; a new pair read without
! intervals is read and shown whole.
open part.loc_align
input1 data/small/human_577-2576.fa
input2 data/small/orang_1-2000.fa
align
save whole.sum_align as summary
exit
