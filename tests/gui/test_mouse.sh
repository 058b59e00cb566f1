#!/usr/bin/env bash
# The mouse in the dot matrix and the list: a drag shades its area and
# confines Align to it; a click on a list row selects that row's hit and
# changes the pane; a right click stops a running Align without a question.
velk=${1:?usage: test_mouse.sh VELK_BINARY}
source "$(dirname "$0")/view_lib.sh"

cat >pair.cmd <<'CMD'
start
input1 data/mito/MT-human.fa
input2 data/mito/MT-orang.fa
CMD
start_velk pair.cmd
read -r x0 top right y0 < <(matrix_axes)
[ $((right - x0)) -gt 200 ] || fail "no dot matrix"
w=$((right - x0)) h=$((y0 - top))
grey() { px count 127 127 127 "$@"; }
# A square over the middle of the diagonal, dragged from its lower left.
ax=$((x0 + w * 35 / 100)) cx=$((x0 + w * 60 / 100))
ay=$((y0 - h * 35 / 100)) cy=$((y0 - h * 60 / 100))
inner="$((ax + 3)) $((cy + 3)) $((cx - 3)) $((ay - 3))"
full=$(((cx - ax - 5) * (ay - cy - 5)))
xdotool mousemove "$ax" "$ay" mousedown 1 mousemove $(((ax + cx) / 2)) $(((ay + cy) / 2)) \
  mousemove "$cx" "$cy" mouseup 1
poll '[ "$(grey $inner)" -ge $((full * 9 / 10)) ]' || fail "the dragged area is not shaded"

# Align in the area; a click elsewhere then drops the area and its shading.
xdotool key ctrl+a
xdotool mousemove $((x0 + 5)) $((top + 5)) click 1
poll '[ "$(grey $inner)" -lt $((full / 2)) ]' 60 || fail "the area stays shaded after a click"
[ "$(grey $inner)" -gt 20 ] || fail "Align found no hit in the area"
all=$(grey "$x0" "$top" "$right" "$y0")
inside=$(grey $((ax - 2)) $((cy - 2)) $((cx + 2)) $((ay + 2)))
[ "$all" -eq "$inside" ] || fail "Align drew $((all - inside)) hit pixels outside the selected area"

# The list, on the whole pair aligned: the selected row is the widest grey
# band right of the matrix; its height is the row height, and rows are two
# row heights apart.
kill -9 "$pid"
cat >aligned.cmd <<'CMD'
start
input1 data/mito/MT-human.fa
input2 data/mito/MT-orang.fa
align
CMD
start_velk aligned.cmd
read -r x0 top right y0 < <(matrix_axes)
band() { px band 127 127 127 $((right + 40)) "$Y" $((X + WIDTH - 1)) "$y0"; }
read -r by bx1 bx2 < <(band) || fail "no selected row in the list"
rowh=$(grey $((bx2 - 3)) "$Y" $((bx2 - 3)) "$y0")
pane=$(stable_hash "$X" $((y0 + 25)) $((X + WIDTH - 1)) $((Y + HEIGHT - 25)))
xdotool mousemove $((bx1 + 30)) $((by + 2 * rowh)) click 1
poll '[ "$(band | cut -d" " -f1)" -ge $((by + 2 * rowh - 2)) ]' ||
  fail "a click on the next row did not select its hit"
[ "$(stable_hash "$X" $((y0 + 25)) $((X + WIDTH - 1)) $((Y + HEIGHT - 25)))" != "$pane" ] ||
  fail "the alignment pane did not change"

# A right click in the matrix during a long Align (a sequence against
# itself, no word seeds) stops it at once and asks nothing.
kill -9 "$pid"
cat >long.cmd <<'CMD'
start show
input1 data/human_whale/human_hg38_chr13_75549820-75605809.fa
input2 data/human_whale/human_hg38_chr13_75549820-75605809.fa
align nohash
CMD
start_velk long.cmd
poll '! idle' 10 || fail "Align is not running"
read -r x0 top right y0 < <(matrix_axes)
start=$SECONDS
xdotool mousemove $(((x0 + right) / 2)) $(((top + y0) / 2)) click 3
poll idle 4 || fail "a right click did not stop Align"
echo "stopped within $((SECONDS - start)) s"
[ -z "$(find_window Caution)" ] || fail "the right click asked a question"
kill -0 "$pid" || fail "the program ended"
echo "test_mouse: ok"
