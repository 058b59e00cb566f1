start
! A human gene region against its minke whale ortholog: filter out periodic
! stretches, align with every mask, grow, join, drop the short rest, chain.
input1 data/human_whale/human_hg38_chr13_75549820-75605809.fa
input2 data/human_whale/minke_balAcu1_KI537979_9712654-9744592.fa
filter create periodic p<1e-6
align maskall
expand maskall
merge merge=30
select short with length<50
delete
optimal
save whale.glb_align as Global
save whale.loc_align as Local
exit
