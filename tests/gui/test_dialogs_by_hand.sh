#!/usr/bin/env bash
# The dialogs as a user meets them: the input dialog stays open after a
# missing and after a CR-only file with the reader's message in its label
# and loads the pair once the name is corrected; out-of-range Align values
# are corrected; every dialog's Cancel leaves the parameters of the saved
# header as they were; saving over a file asks first and No keeps it.
set -euo pipefail
velk=${1:?usage: test_dialogs_by_hand.sh VELK_BINARY}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/dialog_lib.sh"

# Darkest grey level (0 black .. 1 white) of the input dialog's message
# label, the strip below the two sequence boxes.
label_ink() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  import -window root -crop "500x16+$((X + 12))+$((Y + HEIGHT - 22))" png:- |
    convert - -colorspace gray -format '%[fx:minima]' info:
}

# An "Error" box from the reader: its message reaches the information line
# and the dialog's label; the dialog stays open.
expect_read_error() {
  local box
  box=$(wait_dialog '^Error$')
  key "$box" Return
  wait_gone '^Error$'
  wait_info "^$1"
  dialog=$(wait_dialog '^New$')
  ink=$(label_ink "$dialog")
  awk -v v="$ink" 'BEGIN { exit !(v < 0.5) }' || fail "no message in the label after: $1"
}

printf '>cr only\rACGTACGTAC\rGTACGTAC\r' >cr_only.fa
start_velk ""
menu f n
dialog=$(wait_dialog '^New$')
ink=$(label_ink "$dialog")
awk -v v="$ink" 'BEGIN { exit !(v > 0.5) }' || fail "the label is not empty at first"
input_pair "$dialog" data/mito/MT-human.fa data/mito/missing.fa
expect_read_error 'ERROR: Cannot open input file'
input_pair "$dialog" data/mito/MT-human.fa cr_only.fa
expect_read_error 'ERROR: NonPC file format'
input_pair "$dialog" data/mito/MT-human.fa data/mito/MT-orang.fa
wait_gone '^New$'
key "$win" ctrl+a
wait_info 'Action: Align    Viewed: [0-9]+    Added: [1-9]'

# Out-of-range Align values: word size 2, m 1, n 0, k 1, stored with "&Save".
menu c a
dialog=$(wait_dialog '^Search parameters$')
key "$dialog" Tab Tab # from "&Align" past "Start alignment from" to the word size
type_text "$dialog" 2
key "$dialog" Tab
type_text "$dialog" 1
key "$dialog" Tab
type_text "$dialog" 0
key "$dialog" Tab
type_text "$dialog" 1
key "$dialog" alt+s
wait_gone '^Search parameters$'
save_file "$PWD/before" 1
wait_info '^ Saved'
grep -qx '  For aligning:    diagonal: 3/10 = 3, max gap: 20, wordsize: 4, p-value: 1e-08' \
  before.loc_align || fail "Align values not corrected: $(grep 'For aligning' before.loc_align)"

# Every dialog with typing in all its fields, then "&Cancel".
while read -r title entry dialogtitle; do
  menu "$title" "$entry"
  dialog=$(wait_dialog "$dialogtitle")
  for _ in 1 2 3 4 5 6 7 8; do
    key "$dialog" Tab
    xdotool key ctrl+a
    xdotool type 9
  done
  key "$dialog" alt+c
  wait_gone "$dialogtitle"
done <<'DIALOGS'
c a ^Search parameters$
c e ^Expand parameters$
c m ^Merge paramer$
c c ^Compound parameters$
o g ^Greedy Parameter$
o o ^Optimal chain$
e s ^Score values$
e f ^Specify length of flanking regions$
s w ^Select alignments with high P-value$
DIALOGS
save_file "$PWD/after" 1
wait_info '^ Saved'
header() { sed -n '1,/^  Score parameters/p' "$1"; }
diff <(header before.loc_align) <(header after.loc_align) || fail "a Cancel changed parameters"

# Saving over the file asks; No leaves it as it was.
cp after.loc_align kept
menu f s
save_as "$PWD/after" 1
box=$(wait_dialog '^Overwrite Document$')
key "$box" alt+n
wait_gone '^Overwrite Document$'
cmp after.loc_align kept || fail "No to the overwrite question changed the file"
echo "test_dialogs_by_hand: ok"
