start
! Greedy resolves the conflicts; Optimal then has nothing to delete; undoing
! it must leave Greedy's collinear chain, which a global save accepts.
input1 data/mito/MT-human.fa
input2 data/mito/MT-orang.fa
align
expand
greedy
save greedy.sum_align as summary
optimal
undo
save mito.glb_align as Global
save undone.sum_align as summary
exit
