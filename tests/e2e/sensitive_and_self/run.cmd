start
! The sensitive mode joins hits across diverged stretches; every saved hit
! must still be what its rows say.
input1 data/human_whale/human_hg38_chr13_75549820-75605809.fa
input2 data/human_whale/minke_balAcu1_KI537979_9712654-9744592.fa
align sensitive
save whale.loc_align as Local
! A region against itself keeps its repeats beside the diagonal, in
! conflict with it.
input1 data/genbank/HUMHBB.gb 20001 45000
input2 data/genbank/HUMHBB.gb 20001 45000
align
save self.sum_align as summary
exit
