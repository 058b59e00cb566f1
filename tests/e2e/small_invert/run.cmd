start
input1 data/small/human_577-2576.fa
input2 data/small/orang_1-2000_rc.fa invertcomplement
align
expand
trim
save inv.loc_align as Local
save inv.glb_align as Global
exit
