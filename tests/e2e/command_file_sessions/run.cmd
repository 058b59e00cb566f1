start
input1 data/small/human_577-2576.fa 1..500
input2 data/small/orang_1-2000.fa 1..500
align
! A new pair without intervals is read whole.
input1 data/small/human_577-2576.fa
input2 data/small/orang_1-2000.fa
align
save whole.sum_align as summary

save skipped.sum_align as summary
exit
