start
! A global save aligns the interhits for the occasion; the selection made
! before it must be the one Delete takes afterwards.
input1 data/human_whale/human_hg38_chr13_75549820-75605809.fa
input2 data/human_whale/minke_balAcu1_KI537979_9712654-9744592.fa
align
greedy
select short with length<200
save whale.glb_align as Global
delete
save kept.sum_align as summary
exit
