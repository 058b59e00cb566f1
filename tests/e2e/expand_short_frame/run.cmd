start
! A frame of 3 would need no match at all; Expand must still end.
input1 data/mito/MT-human.fa 577..1176
input2 data/mito/MT-orang.fa 1..700
align nohash 9/9=16
expand 0/3=12
save short.loc_align as Local
exit
