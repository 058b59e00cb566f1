start
! Sensitive Align (spaced seeds, looser frames, joins across diverged
! stretches) on two diverged pairs: a human gene region against its minke
! whale ortholog, and the human against the orang-utan mitochondrion.
input1 data/human_whale/human_hg38_chr13_75549820-75605809.fa
input2 data/human_whale/minke_balAcu1_KI537979_9712654-9744592.fa
align hash=16 sensitive
save whale.sum_align as summary
input1 data/mito/MT-human.fa
input2 data/mito/MT-orang.fa
align hash=16 sensitive
save mito.sum_align as summary
exit
