start
input1 data/MT-human.fa
input2 data/MT-orang.fa
rem Human and orangutan mitochondrial genomes: align, extend, trim, resolve
rem the conflict the rotated origin causes, then save all three formats.
align
expand
trim
greedy
save mito.glb_align as Global
save mito.loc_align as Local
save mito.sum_align as summary
exit
