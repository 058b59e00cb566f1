start
! Undo information cannot be written: the undo below would do nothing and
! the save would keep the hits it should have removed.
input1 data/small/human_577-2576.fa
input2 data/small/orang_1-2000.fa
align
undo
save undone.sum_align as summary
exit
