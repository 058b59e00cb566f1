start
! Nothing aligned yet: Optimal has nothing to delete.
input1 data/small/human_577-2576.fa
input2 data/small/orang_1-2000.fa
optimal
align
exit
