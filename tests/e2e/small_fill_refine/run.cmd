start
input1 data/small/human_577-2576.fa 1 1500
input2 data/small/orang_1-2000.fa 1 1500
align p<1e-20 w=12 notrim
fill
refine
trim
save fr.loc_align as Local
save fr.sum_align as summary
exit
