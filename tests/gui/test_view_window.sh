#!/usr/bin/env bash
# The window as a new user meets it on the mitochondrial pair: the menu bar,
# the drawn matrix, hits along the diagonal after Ctrl+A, the list and the
# alignment pane under the navigation keys, extreme window sizes, and the
# exit question's Cancel.
velk=${1:?usage: test_view_window.sh VELK_BINARY}
source "$(dirname "$0")/view_lib.sh"

cat >mito.cmd <<'CMD'
start
input1 data/mito/MT-human.fa
input2 data/mito/MT-orang.fa
CMD
start_velk mito.cmd
R=$((X + WIDTH - 1))
B=$((Y + HEIGHT - 1))

# Header, axes and frames are drawn before any hit exists.
poll '[ "$(px count 0 0 0 $X $Y $R $B)" -gt 2000 ]' || fail "header, axes and frames not drawn"
[ "$(px count 127 127 127 $X $Y $R $B)" -lt 100 ] || fail "hit colour before any hit"

# Alt+C opens the Construct menu over the canvas.
base=$(px count 212 208 200 $((X + 40)) $((Y + 30)) $((X + 220)) $((Y + 160)))
xdotool key alt+c
poll '[ "$(px count 212 208 200 $((X + 40)) $((Y + 30)) $((X + 220)) $((Y + 160)))" -gt $((base + 3000)) ]' ||
  fail "Alt+C did not open the Construct menu"
xdotool key Escape
poll '[ "$(px count 212 208 200 $((X + 40)) $((Y + 30)) $((X + 220)) $((Y + 160)))" -le $((base + 100)) ]' ||
  fail "the menu did not close"

# Ctrl+A: the hits appear as grey lines along the main diagonal.
xdotool key ctrl+a
poll '[ "$(px count 127 127 127 $X $Y $R $B)" -gt 300 ]' || fail "no hit lines after Ctrl+A"
# The widest grey run is the selected row of the list, right of the matrix.
read -r row xa xb <<<"$(px band 127 127 127 $X $Y $R $B)"
[ -n "${xb:-}" ] && [ $((xb - xa)) -gt 100 ] || fail "no selected row in the list"
matrix_right=$((xa - 5))
read -r n slope r2 <<<"$(px line 127 127 127 $X $Y $matrix_right $B)"
python3 -c "import sys; sys.exit(not (-1.3 < $slope < -0.7 and $r2 > 0.95))" ||
  fail "hit pixels are not on the diagonal: n=$n slope=$slope r2=$r2"

# The list: one row per hit, the selected one on grey. The same Align run
# headless says how many hits there are.
{ cat mito.cmd; echo align; echo "save batch.sum_align as summary"; echo exit; } >batch.cmd
"$velk" --batch batch.cmd >/dev/null 2>&1 || fail "the batch run failed"
hits=$(sed -n '/^1st from/,$p' batch.sum_align | grep -c '^ *[0-9][0-9]*;')
read -r rows top bottom <<<"$(px rows $xa $xb $row)"
[ "$hits" -gt 1 ] && [ "$rows" -eq "$hits" ] || fail "the list shows $rows rows for $hits hits"

# Down and Up: the selected row and the pane follow.
pane() { stable_hash $X $((bottom + 2)) $R $((B - 25)); }
pane0=$(pane)
xdotool key Down
poll '[ "$(px band 127 127 127 $matrix_right $Y $R $B | cut -d" " -f1)" -gt "$row" ]' ||
  fail "Down did not move the selected row"
[ "$(pane)" != "$pane0" ] || fail "Down did not change the pane"
xdotool key Up
poll '[ "$(px band 127 127 127 $matrix_right $Y $R $B | cut -d" " -f1)" -eq "$row" ]' ||
  fail "Up did not move the selected row back"
[ "$(pane)" = "$pane0" ] || fail "Up did not bring the pane back"

# Insert marks the selected hit (its row's text turns light grey, so the
# list has less dark text) and steps on.
dark() { px grey 0 100 $xa $((top + 1)) $xb $((bottom - 1)); }
dark0=$(dark)
xdotool key Insert
poll '[ "$(px band 127 127 127 $matrix_right $Y $R $B | cut -d" " -f1)" -gt "$row" ]' ||
  fail "Insert did not step to the next hit"
[ "$(dark)" -lt $((dark0 - 30)) ] || fail "Insert did not mark the hit"
xdotool key Up Insert Up
poll '[ "$(px band 127 127 127 $matrix_right $Y $R $B | cut -d" " -f1)" -eq "$row" ]' ||
  fail "Up did not come back"
[ "$(pane)" = "$pane0" ] || fail "the pane changed after marking and unmarking"

# Left and Shift+Tab at the first column change nothing; Tab pages right
# until the end of the alignment and then stops.
xdotool key Left Left ISO_Left_Tab
[ "$(pane)" = "$pane0" ] || fail "Left at the first column moved the pane"
xdotool key Tab
poll '[ "$(pane)" != "$pane0" ]' || fail "Tab did not scroll the pane"
xdotool key --delay 5 $(printf 'Tab %.0s' $(seq 1 250))
end=$(pane)
xdotool key Tab Right
[ "$(pane)" = "$end" ] || fail "Tab or Right went past the end of the alignment"
xdotool key Left
poll '[ "$(pane)" != "$end" ]' || fail "Left at the end did not scroll back"

# Very wide and very small windows: still drawn, and idle afterwards.
for size in 1800x260 240x180 900x700; do
  sw=${size%x*} sh=${size#*x}
  xdotool windowsize "$win" "$sw" "$sh"
  poll 'geometry; [ "$WIDTH" -eq "$sw" ] && [ "$HEIGHT" -eq "$sh" ]' || fail "no resize to $size"
  stable_hash $X $Y $((X + WIDTH - 1)) $((Y + HEIGHT - 1)) >/dev/null
  poll idle 10 || fail "busy after resizing to $size"
  [ "$(px count 0 0 0 $X $Y $((X + WIDTH - 1)) $((Y + HEIGHT - 1)))" -gt 200 ] ||
    fail "nothing drawn at $size"
  keep_shot "view_window_$size"
done

# Closing with unsaved changes asks; Cancel keeps the program.
xdotool key ctrl+q
poll '[ -n "$(find_window Exit)" ]' || fail "no exit question"
dialog=$(find_window Exit)
xdotool windowfocus --sync "$dialog"
xdotool key Escape
poll '[ -z "$(find_window Exit)" ]' || fail "the exit question stayed"
kill -0 "$pid" || fail "the program ended after Cancel"
[ -n "$(find_window 'Velk v1.4a')" ] || fail "the root window went away after Cancel"
echo "test_view_window: ok"
