start
input1 data/small/human_577-2576_N.fa
input2 data/small/orang_1-2000.fa
align nohash
expand
trim
save n.loc_align as Local
save n.glb_align as Global
exit
