start
input1 data/mito/MT-human.fa 577-2576
input2 data/mito/MT-orang.fa 1..2000
align
expand
save sub.loc_align as Local
save sub.sum_align as summary
save sub.glb_align as Global
exit
