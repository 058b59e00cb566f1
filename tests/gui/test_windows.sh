#!/usr/bin/env bash
# The Window menu: New => selection opens a window on the dragged rectangle
# (its matrix shows that stretch of the diagonal across its whole width);
# New => edit and New => whole region open windows until ten are open, and
# an eleventh gives "Caution"; a window closed by File > Close, Ctrl+Q or
# the window manager is reused by the next New, in the same place.
velk=${1:?usage: test_windows.sh VELK_BINARY}
source "$(dirname "$0")/view_lib.sh"

start_mito align
root=$win
windows() { visible_count 'Velk v1.4a'; }
new_window() { # menu letter of the entry: n selection, r whole region
  xdotool windowfocus --sync "$root"
  xdotool key alt+w
  xdotool key "alt+$1"
}

others() { xdotool search --onlyvisible --name '^Velk v1.4a$' | grep -vx "$root" || true; }
place() { xdotool getwindowgeometry --shell "$1" | grep -E '^[XY]=' | tr '\n' ' '; }

# Each way of closing a window frees its slot: the next New opens there.
new_window r
poll '[ "$(windows)" -eq 2 ]' || fail "New => whole region opened no window"
first=$(others)
where=$(place "$first")
for how in menu keys manager; do
  xdotool windowfocus --sync "$first"
  case $how in
  menu) xdotool key alt+f && xdotool key alt+c ;;
  keys) xdotool key ctrl+q ;;
  manager) python3 "$here/wm_close.py" "$first" ;;
  esac
  poll '[ "$(windows)" -eq 1 ]' || fail "closing by $how left the window open"
  new_window r
  poll '[ "$(windows)" -eq 2 ]' || fail "no New after closing by $how"
  [ "$(others)" = "$first" ] && [ "$(place "$first")" = "$where" ] ||
    fail "after closing by $how the next New took another slot, at $(place "$(others)")"
  keep_shot "windows_reopened_after_$how"
done
xdotool windowfocus --sync "$first"
xdotool key ctrl+q
poll '[ "$(windows)" -eq 1 ]' || fail "Ctrl+Q did not close the window"

# Without a selected area New => selection does nothing. Events are handled
# in order, so once About (asked for next) is up the command has run.
new_window n
xdotool key ctrl+slash
focus_window 'About Velk' >/dev/null
[ "$(windows)" -eq 1 ] || fail "New => selection opened a window without an area"
xdotool key Return
poll '[ -z "$(find_window "About Velk")" ]' || fail "About does not close"

read -r x0 top right y0 < <(matrix_axes)
w=$((right - x0)) h=$((y0 - top))
xdotool mousemove $((x0 + w * 30 / 100)) $((y0 - h * 30 / 100)) mousedown 1 \
  mousemove $((x0 + w * 40 / 100)) $((y0 - h * 40 / 100)) \
  mousemove $((x0 + w * 55 / 100)) $((y0 - h * 55 / 100)) mouseup 1
poll '[ "$(px count 127 127 127 $((x0 + w * 35 / 100)) $((y0 - h * 50 / 100)) $((x0 + w * 50 / 100)) $((y0 - h * 35 / 100)))" -gt 1000 ]' ||
  fail "no selected area"
new_window n
poll '[ "$(windows)" -eq 2 ]' || fail "New => selection opened no window"
second=$(xdotool search --onlyvisible --name '^Velk v1.4a$' | grep -vx "$root" | head -n1)
read -r a0 atop aright ay0 < <(matrix_axes "$second")
read -r n slope r2 < <(px line 127 127 127 "$a0" "$atop" "$aright" "$ay0")
echo "new window: $n hit pixels, slope $slope, r2 $r2"
[ "$n" -gt $(((aright - a0) / 2)) ] &&
  awk -v s="$slope" -v r="$r2" 'BEGIN { exit !(s < -0.5 && s > -2 && r > 0.9) }' ||
  fail "the new window does not show the selected stretch of the diagonal"
poll '[ "$(px count 127 127 127 $((a0 + 1)) $((ay0 - (ay0 - atop) / 4)) $((a0 + (aright - a0) / 4)) $((ay0 - 1)))" -gt 5 ]' ||
  fail "the stretch does not start in the new window's lower left corner"

# New => edit: the coordinates dialog, accepted as it stands.
new_window e
focus_window 'Windows coordinates' >/dev/null
xdotool key Return
poll '[ "$(windows)" -eq 3 ]' || fail "New => edit opened no window"

# Windows up to ten, then "Caution".
for n in 4 5 6 7 8 9 10; do
  new_window r
  poll '[ "$(windows)" -eq '$n' ]' || fail "window $n did not open"
done
new_window r
focus_window Caution >/dev/null
[ "$(windows)" -eq 10 ] || fail "an eleventh window opened"
xdotool key Return
poll '[ -z "$(find_window Caution)" ]' || fail "the Caution message stays"

# With ten open, one closed by its File menu makes room for the tenth again.
xdotool windowfocus --sync "$second"
xdotool key alt+f
xdotool key alt+c
poll '[ "$(windows)" -eq 9 ]' || fail "File > Close did not close the second window"
new_window r
poll '[ "$(windows)" -eq 10 ]' || fail "no window after one was closed"
[ -z "$(find_window Caution)" ] || fail "Caution although a window was free"
keep_shot windows_ten_again
xdotool search --onlyvisible --name '^Velk v1.4a$' | grep -qx "$second" ||
  fail "the closed window was not reused"
echo "test_windows: ok"
