start
! The beta-globin cluster against itself: its genes are old copies of each
! other, and Alus lie between them. With extend the copies beside the
! diagonal are followed further than the search alone finds them, and every
! saved hit is still what its rows say.
input1 data/genbank/HUMHBB.gb 30001 50000
input2 data/genbank/HUMHBB.gb 30001 50000
align sensitive
save plain.sum_align as summary
input1 data/genbank/HUMHBB.gb 30001 50000
input2 data/genbank/HUMHBB.gb 30001 50000
align sensitive extend
save extended.loc_align as Local
save extended.sum_align as summary
! The option is saved with the hits and read back with them.
open extended.loc_align
save reopened.sum_align as summary
exit
