start
input1 data/inversions/hpF32_1-100000.fa
input2 data/inversions/hpF32_inv.fa
align both
save both.sum_align as summary
reverse
save reversed.sum_align as summary
select all
delete
undo
undo
save undone.sum_align as summary
exit
