start
input1 data/small/human_577-2576.fa 1..300
input2 data/small/orang_1-2000.fa 1..300
align
save out.sum_align as summary

rem what follows an empty line is not run:

! a comment
REM nothing to skip here
   
