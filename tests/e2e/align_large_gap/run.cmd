start
input1 data/small/human_577-2576.fa
input2 data/small/orang_1-2000.fa
align w=5 merge=600
save hash.loc_align as Local
input1 data/small/human_577-2576_N.fa
input2 data/small/orang_1-2000.fa
align nohash merge=400
save sweep.loc_align as Local
exit
