start
input1 data/mito/MT-human.fa
input2 data/mito/MT-orang.fa
align
save before.sum_align as summary
optimal
save optimal.sum_align as summary
undo
save undone.sum_align as summary
reconcile
kill
save kill.sum_align as summary
undo
undo
save undone2.sum_align as summary
exit
