start
input1 data/small/human_577-2576.fa
input2 data/small/orang_1-2000.fa
save early.sal as summary
align 5/8>=12
exit
