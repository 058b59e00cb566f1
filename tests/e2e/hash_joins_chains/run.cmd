start
! Hash Align: a later seed's chain that overlaps an earlier one and goes on
! beyond it is joined to it, giving the one hit the full scan finds.
input1 data/mito/MT-human.fa
input2 data/mito/MT-orang.fa
align hash=16
save hash.sum_align as summary
input1 data/mito/MT-human.fa
input2 data/mito/MT-orang.fa
align nohash
save full.sum_align as summary
exit
