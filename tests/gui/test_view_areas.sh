#!/usr/bin/env bash
# Shading in the dot matrix: conflicting hits lie in pink areas; after
# Greedy resolves them, Select All shades the hits in light grey, and once
# approved and unselected their area is green.
velk=${1:?usage: test_view_areas.sh VELK_BINARY}
source "$(dirname "$0")/view_lib.sh"

cat >mito.cmd <<'CMD'
start
input1 data/mito/MT-human.fa
input2 data/mito/MT-orang.fa
align
CMD
start_velk mito.cmd
R=$((X + WIDTH - 1))
B=$((Y + HEIGHT - 1))
count() { px count "$1" "$2" "$3" $X $Y $R $B; }

# The hits of the pair overlap their neighbours: a pink area.
poll '[ "$(count 255 207 207)" -gt 10000 ]' || fail "no pink conflict area"
[ "$(count 207 255 207)" -lt 1000 ] || fail "green before anything was approved"

xdotool key ctrl+g
poll '[ "$(count 255 207 207)" -lt 1000 ]' || fail "the conflict area stayed after Greedy"

xdotool key KP_Add
poll '[ "$(count 191 191 191)" -gt 10000 ]' || fail "Select All shaded nothing"

# Approve has no mnemonic: it is the eighth entry of the Select menu. The
# selection shading lies over the approved area until Unselect All.
xdotool key alt+s
xdotool key --delay 20 Down Down Down Down Down Down Down Down Return
xdotool key KP_Subtract
poll '[ "$(count 191 191 191)" -lt 1000 ]' || fail "Unselect All left shading"
poll '[ "$(count 207 255 207)" -gt 10000 ]' || fail "no green area after Approve"
echo "test_view_areas: ok"
