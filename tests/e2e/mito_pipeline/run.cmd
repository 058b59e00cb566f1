start
input1 data/mito/MT-human.fa
input2 data/mito/MT-orang.fa
align
expand
trim
save all.loc_align as Local
greedy
save mito.glb_align as Global
save mito.loc_align as Local
save mito.sum_align as summary
exit
