start
input1 data/small/human_577-2576.fa
input2 data/small/orang_1-2000.fa
align
algin
save typo.sum_align as summary
exit
