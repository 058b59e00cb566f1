#!/usr/bin/env bash
# Print to a PostScript file through the print dialog, with "(", ")" and
# "\" in the sequence's file name and description: ghostscript renders the
# page without complaint, the hits lie along the diagonal, the picture keeps
# the left margin, and the window is laid out for the screen again. An
# unwritable file gives "Unable to print". Help (its columns lined up) and
# About open and close.
velk=${1:?usage: test_print_help.sh VELK_BINARY}
source "$(dirname "$0")/view_lib.sh"

{
  echo '>odd (name) \ with ) and ( and \'
  tail -n +2 data/mito/MT-human.fa
} >'h(u)m\an.fa'
cat >pair.cmd <<'CMD'
start
input1 "h(u)m\an.fa"
input2 data/mito/MT-orang.fa
align
CMD
start_velk pair.cmd
root=$win
read -r x0 top right y0 < <(matrix_axes)

# File > Print; destination: the file PATH; then the Print button (it has
# no mnemonic and Return stays in the name field).
print_to() {
  xdotool windowfocus --sync "$root"
  xdotool key alt+f
  xdotool key alt+p
  local d
  d=$(focus_window Print)
  xdotool key alt+f
  xdotool key Tab
  xdotool key ctrl+a
  xdotool type --delay 5 "$1"
  eval "$(xdotool getwindowgeometry --shell "$d")"
  xdotool mousemove $((X + WIDTH - 55)) $((Y + HEIGHT - 22)) click 1
}

print_to "$work/page.ps"
poll '[ -s page.ps ] && tail -n 1 page.ps | grep -q EOF' 20 || fail "nothing printed"
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ppmraw -r72 -sOutputFile=page.ppm page.ps 2>gs.txt ||
  fail "ghostscript refused the page: $(cat gs.txt)"
[ ! -s gs.txt ] || fail "ghostscript complained: $(cat gs.txt)"
read -r pw ph < <(head -c 80 page.ppm | grep -a '^[0-9]* [0-9]*$')
# The page's own frame lines stand at the 72-point margin; the axes lie inside.
read -r a0 atop aright ay0 < <(python3 "$here/pixels.py" page.ppm axes 72 0 $((pw - 1)) $((ph - 1)))
read -r n slope r2 < <(python3 "$here/pixels.py" page.ppm line 127 127 127 "$a0" "$atop" "$aright" "$ay0")
echo "printed page ${pw}x$ph: $n hit pixels, slope $slope, r2 $r2"
[ "$n" -gt 200 ] && awk -v s="$slope" -v r="$r2" 'BEGIN { exit !(s < -0.3 && r > 0.95) }' ||
  fail "the printed page shows no diagonal of hits"
read -r _ left _ < <(python3 "$here/pixels.py" page.ppm band 0 0 0 0 0 $((pw - 1)) $((ph - 1)))
[ "$left" -ge 72 ] || fail "the picture starts at x $left, inside the 72-point left margin"
# Printing lays the window out for the page; the screen gets its own back.
poll '[ "$(matrix_axes "$root")" = "$x0 $top $right $y0" ]' || fail "the window keeps the page's layout"

print_to "$work/no-such-dir/page.ps"
focus_window 'Printer Error' >/dev/null
xdotool key Return
poll '[ -z "$(find_window "Printer Error")" ]' || fail "the Printer Error message stays"

xdotool windowfocus --sync "$root"
xdotool key alt+h
xdotool key alt+h
help=$(focus_window 'Help on Velk')
# The manual's tables line up: its second column starts where the rows
# that continue it start.
eval "$(xdotool getwindowgeometry --shell "$help")"
read -r indent second < <(px columns $((X + 12)) $((Y + 12)) $((X + WIDTH - 30)) $((Y + HEIGHT - 50)))
[ "$indent" != None ] && [ "$second" != None ] && [ $((indent - second)) -le 1 ] &&
  [ $((second - indent)) -le 1 ] ||
  fail "the manual's columns do not line up: continued at x $indent, started at x $second"
keep_shot help_columns
xdotool key Return
poll '[ -z "$(find_window "Help on Velk")" ]' || fail "Help does not close"
xdotool windowfocus --sync "$root"
xdotool key ctrl+slash
focus_window 'About Velk' >/dev/null
xdotool key Return
poll '[ -z "$(find_window "About Velk")" ]' || fail "About does not close"
echo "test_print_help: ok"
