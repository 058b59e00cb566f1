start
input1 human_bom.fa
input2 data/small/orang_1-2000.fa 1..400
align
save first.loc_align as Local
open saved_bom.loc_align
save second.loc_align as Local
exit
