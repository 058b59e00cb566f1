start
! Gap marks and a tab are skipped with a warning: the same alignment as
! from the plain file. A record without residues stops the run by name.
input1 gapped.fa
input2 data/small/orang_1-2000.fa
align
save gapped.sum_align as summary
input1 data/small/human_577-2576.fa
input2 data/small/orang_1-2000.fa
align
save plain.sum_align as summary
input1 empty.fa
input2 data/small/orang_1-2000.fa
align
exit
