#!/usr/bin/env bash
# Two windows on one pair: an action run from either window reports on that
# window's information line and clears that window's selected area, though
# both windows repaint while it runs (the program is left idle first, so
# that the action's progress display comes at once).
velk=${1:?usage: test_window_current.sh VELK_BINARY}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/dialog_lib.sh"

start_mito
root=$win

# Drags over window $1's matrix from $2 % to $3 % of each axis; sets `inner`
# (the area less a margin) and `full` (its pixels) and waits for its shade.
drag_area() {
  local x0 top right y0 w h ax ay cx cy
  read -r x0 top right y0 < <(matrix_axes "$1")
  w=$((right - x0)) h=$((y0 - top))
  ax=$((x0 + w * $2 / 100)) cx=$((x0 + w * $3 / 100))
  ay=$((y0 - h * $2 / 100)) cy=$((y0 - h * $3 / 100))
  inner="$((ax + 3)) $((cy + 3)) $((cx - 3)) $((ay - 3))"
  full=$(((cx - ax - 5) * (ay - cy - 5)))
  xdotool windowfocus --sync "$1"
  xdotool mousemove "$ax" "$ay" mousedown 1 mousemove $(((ax + cx) / 2)) $(((ay + cy) / 2)) \
    mousemove "$cx" "$cy" mouseup 1
  poll '[ "$(px count 127 127 127 $inner)" -ge $((full * 9 / 10)) ]' ||
    fail "the dragged area is not shaded"
}

# Ctrl+A in window $1 after a drag there: the line reports Align as $2
# wants, and the area is cleared.
align_in() {
  drag_area "$1" 10 90
  poll idle 10 || fail "busy before Align"
  : >"$VELK_INFO_LOG"
  key "$1" ctrl+a
  wait_info "$2"
  poll '[ "$(px count 127 127 127 $inner)" -lt $((full / 2)) ]' ||
    fail "the area of the window that ran Align stays shaded"
}

# The second window on a stretch of the root's, beside it.
drag_area "$root" 20 60
key "$root" alt+w
xdotool key alt+n
poll '[ "$(visible_count "Velk v1.4a")" -eq 2 ]' || fail "New => selection opened no window"
second=$(xdotool search --onlyvisible --name '^Velk v1.4a$' | grep -vx "$root" | head -n1)
xdotool windowsize "$root" 630 600 windowmove "$root" 0 0
xdotool windowsize "$second" 630 600 windowmove "$second" 645 0
poll '[ "$(matrix_axes "$second" | cut -d" " -f1)" -gt 645 ]' ||
  fail "the second window shows no dot matrix"

align_in "$root" 'Action: Align    Viewed: [1-9][0-9]*    Added: [1-9]'
keep_shot window_current_root
align_in "$second" 'Action: Align    Viewed: [0-9]+    Added: [0-9]+ '
keep_shot window_current_second
echo "test_window_current: ok"
