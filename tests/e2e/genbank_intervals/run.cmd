start
input1 data/genbank/HUMHBB.gb 60001-66000
input2 data/genbank/biopython_NC_005816.gb 9609..1 invertcomplement
save loaded.sal as summary
exit
