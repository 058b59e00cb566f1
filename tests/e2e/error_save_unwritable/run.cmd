start
input1 data/small/human_577-2576.fa
input2 data/small/orang_1-2000.fa
align
save missing/dir/out.loc_align as Local
save out.sum_align as summary
exit
