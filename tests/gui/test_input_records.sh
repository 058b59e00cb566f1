#!/usr/bin/env bash
# The input dialog offers the records of a many-record (here compressed)
# file and reads soft-masked lower case as repeats; the saved files name
# the record and the soft mask, PAF and MAF come from the Save dialog's last
# two patterns. A cut-off compressed file is refused and Cancel keeps the
# session it would have replaced.
set -euo pipefail
velk=${1:?usage: test_input_records.sh VELK_BINARY}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/dialog_lib.sh"

# Sequence 1: the human slice with 301..400 in lower case; sequence 2: the
# orangutan slice as the second record of a compressed file.
awk 'NR == 1 { print; next } { s = s $0 } END {
  print substr(s, 1, 300) tolower(substr(s, 301, 100)) substr(s, 401) }' \
  data/small/human_577-2576.fa >masked.fa
{
  printf '>decoy first record\nACGTACGTAC\n>orang2 the slice\n'
  tail -n +2 data/small/orang_1-2000.fa
} | gzip -c >many.fa.gz
head -c "$(($(stat -c %s many.fa.gz) / 2))" many.fa.gz >cut.fa.gz

start_velk ""
menu f n
dialog=$(wait_dialog '^New$')
key "$dialog" Tab Tab # from "&Ok" to the first name
type_text "$dialog" "$PWD/masked.fa"
key "$dialog" Tab Tab Tab Tab
type_text "$dialog" "$PWD/many.fa.gz"
xdotool key Return # lists the records at once
# On through the second box to the first soft-mask check and the second list.
key "$dialog" Tab Tab Tab Tab space Tab Down
key "$dialog" alt+o
wait_gone '^New$'
key "$win" ctrl+a
wait_info 'Action: Align .*Added: [1-9]'
save_file "$PWD/pair" 1
poll '[ -s pair.loc_align ]' || fail "no local file"
grep -qx '    1 .. 2000  softmask' pair.loc_align || fail "sequence 1 not soft-masked: $(head -6 pair.loc_align)"
grep -qx '    1 .. 2000  record=orang2' pair.loc_align || fail "record not named: $(head -6 pair.loc_align)"
grep -Eq '^[ACGTN-]*[acgt]+' pair.loc_align || fail "no lower-case residue in the alignment"

save_file "$PWD/pair.paf" 4
poll '[ -s pair.paf ]' || fail "no PAF file from the Save dialog"
cut -f1,6 pair.paf | sort -u | grep -qx $'orang2\tMT_human' || fail "PAF names: $(cut -f1,6 pair.paf)"
save_file "$PWD/pair" 5
poll '[ -s pair.maf ]' || fail "no MAF file from the Save dialog"
head -n1 pair.maf | grep -qx '##maf version=1' || fail "MAF header"

# A damaged file is refused before the session it would replace is touched.
menu f n
dialog=$(wait_dialog '^New$')
key "$dialog" Tab Tab Tab Tab Tab Tab
type_text "$dialog" "$PWD/cut.fa.gz"
key "$dialog" alt+o
box=$(wait_dialog '^Error$')
key "$box" Return
wait_gone '^Error$'
wait_info '^ERROR: Damaged compressed file'
dialog=$(wait_dialog '^New$')
key "$dialog" alt+c
wait_gone '^New$'
save_file "$PWD/again" 1
poll '[ -s again.loc_align ]' || fail "no local file after Cancel"
cmp -s pair.loc_align again.loc_align || fail "the session changed: $(diff pair.loc_align again.loc_align | head)"
echo "test_input_records: ok"
