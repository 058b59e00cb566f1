start
input1 data/mito/MT-human.fa
input2 bad.gb
align
exit
