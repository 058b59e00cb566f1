#!/usr/bin/env bash
# The File entries besides Save: Save footnotes after Move to footnotes,
# Save window, and Open of a saved local alignment through its dialog.
set -euo pipefail
velk=${1:?usage: test_file_entries.sh VELK_BINARY}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/dialog_lib.sh"

start_velk ""
menu f n
dialog=$(wait_dialog '^New$')
input_pair "$dialog" data/small/human_577-2576.fa data/small/orang_1-2000.fa
wait_gone '^New$'
key "$win" ctrl+a
wait_info 'Action: Align .*Added: [1-9]'
total=$(last_info | sed -n 's/.*Total: \([0-9]*\).*/\1/p')

save_file "$PWD/all" 1
wait_info '^ Saved'
menu o m # the selected hit goes to the footnotes
wait_info "^ Action: Delete    Deleted: 1 .*Total: $((total - 1)) "
menu f f
dialog=$(wait_dialog '^Save footnotes$')
key "$dialog" alt+f
type_text "$dialog" "$PWD/notes"
xdotool key Return
poll '[ -s notes.ftn_align ]' || fail "no footnotes file"
[ "$(grep -c '^Score' notes.ftn_align)" -eq 1 ] || fail "the footnotes file does not hold one hit"

menu f w
save_as "$PWD/window" 2
poll '[ -s window.sum_align ]' || fail "Save window wrote nothing"

menu f o
dialog=$(wait_dialog '^Open file$')
key "$dialog" alt+f
type_text "$dialog" "$PWD/all.loc_align"
xdotool key Return
wait_info "Total: $total "
echo "test_file_entries: ok"
