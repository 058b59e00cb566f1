#!/usr/bin/env bash
# Both strands in the window, on the pair with planted inversions: the Align
# dialog's "Both strands" check, the inversions drawn as anti-diagonals in
# their own colour, a hit of the other strand selected by a mouse rectangle
# and deleted, Reverse strand from the Window menu exchanging the colours,
# Undo turning the session back, and the saved file with both sets.
velk=${1:?usage: test_strands.sh VELK_BINARY}
source "$(dirname "$0")/dialog_lib.sh"

cat >pair.cmd <<'CMD'
start
input1 data/inversions/hpF32_1-100000.fa
input2 data/inversions/hpF32_inv.fa
CMD
start_velk pair.cmd
poll '[ "$(px count 0 0 0 $X $Y $((X + WIDTH - 1)) $((Y + HEIGHT - 1)))" -gt 2000 ]' ||
  fail "the window is not drawn"

# Construct > Align: from "&Align" nine fields and checks on to "Both
# strands", ticked with the space bar; then "&Align".
menu c a
dialog=$(wait_dialog '^Search parameters$')
key "$dialog" Tab Tab Tab Tab Tab Tab Tab Tab Tab space alt+a
wait_gone '^Search parameters$'
wait_info 'Action: Align .*Reverse: [1-9]'
reverse=$(last_info | sed -E 's/.*Reverse: ([0-9]+).*/\1/')
total=$(last_info | sed -E 's/.*Total: ([0-9]+).*/\1/')

# The 40 kb inversion fills the right half of the matrix: an anti-diagonal
# of the other strand's colour (screen y grows downwards: a positive slope).
read -r x0 top right y0 <<<"$(matrix_axes)"
half=$((x0 + (right - x0) / 2))
anti_diagonal() { # colour: the fitted line over the right half
  read -r n slope r2 <<<"$(px line "$@" $half $top $right $y0)"
  echo "$*: $n pixels, slope $slope, r2 $r2"
  [ "$n" -ge 100 ] && python3 -c "import sys; sys.exit(not (0.5 < $slope < 2 and $r2 > 0.95))"
}
anti_diagonal 0 0 255 || fail "the inversion is not drawn as a blue anti-diagonal"
keep_shot strands_aligned
blue_before=$(px count 0 0 255 $half $top $right $y0)

# A small rectangle around the middle of the anti-diagonal selects its hit;
# Delete removes it from the other strand only.
read -r cx cy <<<"$(python3 -c "
import sys
sys.path.insert(0, '$here')
from pixels import Image
im = Image('$work/shot.ppm')
pts = sorted((x, y) for x, y, c in im.box($half, $top, $right, $y0) if c == (0, 0, 255))
print(*pts[len(pts) // 2])")"
xdotool mousemove $((cx - 12)) $((cy - 12)) mousedown 1 mousemove $((cx + 12)) $((cy + 12)) mouseup 1
poll '[ "$(px count 191 191 191 $x0 $top $right $y0)" -gt 50 ]' ||
  fail "the rectangle marked no hit (no selection shading)"
key "$win" Delete
wait_info "Action: Delete    Deleted: 1 .*Total: $total .*Reverse: $((reverse - 1)) "
key "$win" ctrl+BackSpace
wait_info "Undo: .* Delete .*Reverse: $reverse "

# Window > Reverse strand: the inversion becomes the session's (grey), the
# rest the other strand's; Undo turns it back.
menu w v
wait_info "Action: Reverse .*Total: $reverse .*Reverse: $total "
anti_diagonal 127 127 127 || fail "reversed, the inversion is not the session's (grey)"
keep_shot strands_reversed
[ "$(px count 0 0 255 $half $top $right $y0)" -lt $((blue_before / 3)) ] ||
  fail "reversed, the right half is still blue"
key "$win" ctrl+BackSpace
wait_info "Undo: .* Reverse .*Total: $total .*Reverse: $reverse "
anti_diagonal 0 0 255 || fail "Undo did not bring the blue anti-diagonal back"

# Saved, the file holds the option and both sets; then the program closes
# without a question.
save_file "$PWD/both" 1
wait_info '^ Saved'
grep -q ', strands: both$' both.loc_align || fail "the option is not in the header"
[ "$(awk '/^Reverse strand:$/ { f = 1 } f && /^Score:/' both.loc_align | wc -l)" -eq "$reverse" ] ||
  fail "the file's section does not hold the $reverse hits of the other strand"
key "$win" ctrl+q
wait_exit
echo "test_strands: ok"
