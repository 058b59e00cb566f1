start
! Every score at either end of its range, through Align, Expand, Fill and
! Optimal; sums must stay inside 32 bits (the sanitizer build checks it).
input1 data/mito/MT-human.fa 1..4000
input2 data/mito/MT-orang.fa 1..4000
score m=1e30 mm=1e30 gapo=1e30 gapl=1e30
align p=1
expand
fill
optimal
save high.sum_align as summary
undo
undo
undo
undo
score m=0 mm=0 gapo=0 gapl=0
align
expand
fill
optimal
score m=1e30 mm=0 gapo=0 gapl=0
align nohash p=1
expand
fill
optimal
score m=0 mm=-1e30 gapo=-1e30 gapl=-1e30
align
expand
fill
optimal
score m=1e30 mm=-1e30 gapo=0 gapl=-1e30
align hash=4 p=1
expand 1/1=1
fill
optimal
save mixed.loc_align as Local
exit
