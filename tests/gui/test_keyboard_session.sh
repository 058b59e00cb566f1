#!/usr/bin/env bash
# A new user's session by keys and dialogs only: File > New with the two
# mitochondrial files, Construct > Align through its dialog (a repeat limit
# and the sensitive mode saved first, a Cancel that must not undo them),
# Ctrl+E, Conflict > Greedy, File > Save as a global file. The file must be
# the one batch mode writes for the same steps. Then Undo twice and Redo once, with
# the information line's texts, and the exit question's Yes saving through
# the "Save as" dialog before the program ends.
set -euo pipefail
velk=${1:?usage: test_keyboard_session.sh VELK_BINARY}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/dialog_lib.sh"

start_velk ""
menu f n
dialog=$(wait_dialog '^New$')
input_pair "$dialog" data/mito/MT-human.fa data/mito/MT-orang.fa
wait_gone '^New$'

# From "&Align" seven Tabs reach the repeat limit, an eighth the sensitive
# mode. The values saved here must be shown again after the Cancel, since
# "&Align" stores what the fields show.
align_seeds() {
  menu c a
  dialog=$(wait_dialog '^Search parameters$')
  key "$dialog" Tab Tab Tab Tab Tab Tab Tab
  type_text "$dialog" "$1"
  key "$dialog" Tab space "$2"
  wait_gone '^Search parameters$'
}
align_seeds 3 alt+s
align_seeds 77 alt+c
menu c a
dialog=$(wait_dialog '^Search parameters$')
key "$dialog" alt+a
wait_info 'Action: Align'

key "$win" ctrl+e
wait_info 'Action: Expand'

menu o g
dialog=$(wait_dialog '^Greedy Parameter$')
key "$dialog" Return
wait_info 'Action: Greedy'

save_file "$PWD/mito_gui" 0
wait_info '^ Saved'
[ -f mito_gui.glb_align ] || fail "no mito_gui.glb_align"

cat >batch.cmd <<CMD
start
input1 data/mito/MT-human.fa
input2 data/mito/MT-orang.fa
align repeats=3 sensitive
expand
greedy
save mito_batch.glb_align as Global
exit
CMD
env -u DISPLAY HOME="$work/batch" "$velk" --batch batch.cmd >/dev/null 2>&1 || fail "batch run failed"
cmp mito_gui.glb_align mito_batch.glb_align || fail "the GUI save differs from batch mode"
grep -q '^  For aligning: .*, repeats: 3, seeds: spaced$' mito_gui.glb_align ||
  fail "seed options not saved: $(grep 'For aligning' mito_gui.glb_align)"

# Every ending of the Align dialog is an Undo step: five in all.
key "$win" ctrl+BackSpace
wait_info '^ Undo: 4/5 Greedy  '
key "$win" ctrl+BackSpace
wait_info '^ Undo: 3/5 Expand  '
key "$win" ctrl+Return
wait_info '^ Redo: 4/5 Expand  '

# Closing with these changes asks; Yes saves through the "Save as" dialog.
key "$win" ctrl+q
dialog=$(wait_dialog '^Exit$')
key "$dialog" alt+y
save_as "$PWD/at_exit" 1
wait_exit
[ -f at_exit.loc_align ] || fail "Yes at exit wrote nothing"
head -n1 at_exit.loc_align | grep -qx '1st seq:' || fail "at_exit.loc_align is no alignment"
echo "test_keyboard_session: ok"
