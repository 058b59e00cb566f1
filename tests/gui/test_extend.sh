#!/usr/bin/env bash
# The Align dialog's "Extend hits (gapped)" check runs the same Align as
# "align extend" in a command file: the window saves the same local file,
# with the option in its header; a second Align with the check cleared
# adds what "align noextend" adds.
velk=${1:?usage: test_extend.sh VELK_BINARY}
source "$(dirname "$0")/dialog_lib.sh"

pair='input1 data/genbank/HUMHBB.gb 30001 50000
input2 data/genbank/HUMHBB.gb 30001 50000'
printf 'start\n%s\nalign extend\nsave batch_extend.loc_align as Local\nalign noextend
save batch_noextend.loc_align as Local\nexit\n' "$pair" >batch.cmd
"$velk" --batch batch.cmd >/dev/null 2>&1 || fail "the batch run failed"
printf 'start\n%s\nalign\nsave batch_plain.loc_align as Local\nexit\n' "$pair" >plain.cmd
"$velk" --batch plain.cmd >/dev/null 2>&1 || fail "the plain batch run failed"
cmp -s <(sed 1,14d batch_extend.loc_align) <(sed 1,14d batch_plain.loc_align) &&
  fail "extend changes nothing on this pair"

printf 'start\n%s\n' "$pair" >pair.cmd
start_velk pair.cmd
poll '[ "$(px count 0 0 0 $X $Y $((X + WIDTH - 1)) $((Y + HEIGHT - 1)))" -gt 2000 ]' ||
  fail "the window is not drawn"

# Pixels of the dialog in the shadow colour: a greyed-out label adds some.
greys() {
  local X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$1")"
  px count 139 137 132 $X $Y $((X + WIDTH - 1)) $((Y + HEIGHT - 1))
}

# Construct > Align: from "&Align" ten fields and checks on to "Extend hits
# (gapped)", toggled with the space bar; then "&Align". Sets `shown` to the
# dialog's shadow pixels as it opened; extended hits are not trimmed, so
# ticking Extend greys Trim out and clearing it brings Trim back.
align_toggling_extend() {
  menu c a
  local dialog
  dialog=$(wait_dialog '^Search parameters$')
  shown=$(greys "$dialog")
  key "$dialog" Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab space
  poll '[ "$(greys "$dialog")" -ne "$shown" ]' 5 || fail "Extend leaves Trim as it was"
  key "$dialog" alt+a
  wait_gone '^Search parameters$'
  wait_info "Action: Align "
}
same_hits() { cmp -s "$1" "$2"; }

align_toggling_extend
plain_greys=$shown
save_file "$PWD/gui_extend" 1
wait_info '^ Saved'
grep -q 'hits: extended' gui_extend.loc_align || fail "the option is not in the header"
same_hits gui_extend.loc_align batch_extend.loc_align ||
  fail "the window's extended hits differ from 'align extend'"

align_toggling_extend
[ "$shown" -gt "$plain_greys" ] || fail "Trim is not greyed out under Extend"
save_file "$PWD/gui_plain" 1
wait_info '^ Saved'
grep -q 'hits: extended' gui_plain.loc_align && fail "the cleared check still extends"
same_hits gui_plain.loc_align batch_noextend.loc_align ||
  fail "with the check cleared the hits differ from 'align noextend'"
key "$win" ctrl+q
wait_exit
echo "test_extend: ok"
