start
input1 data/mito/MT-human.fa
input2 data/mito/MT-orang.fa
align
save conflicts.sum_align as summary
save conflicts.glb_align as Global
exit
