#!/usr/bin/env bash
# File > New that changes only "Invert & complement" of the second sequence
# (a reverse complement on file): the window is laid out as before (header,
# axes and list where they stood, the information line along the bottom),
# and the hits Align then finds run down the mirrored axis.
velk=${1:?usage: test_new_invert.sh VELK_BINARY}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/dialog_lib.sh"

cat >pair.cmd <<'CMD'
start
input1 data/small/human_577-2576.fa
input2 data/small/orang_1-2000_rc.fa
CMD
start_velk pair.cmd
R=$((X + WIDTH - 1)) B=$((Y + HEIGHT - 1))
above_info() { stable_hash $X $Y $R $((B - 24)); }
poll '[ "$(px count 0 0 0 $X $Y $R $B)" -gt 2000 ]' || fail "the window is not drawn"
before=$(above_info)
axes=$(matrix_axes)

# From "&Ok" nine Tabs reach the second sequence's check box.
menu f n
dialog=$(wait_dialog '^New$')
key "$dialog" Tab Tab Tab Tab Tab Tab Tab Tab Tab space alt+o
wait_gone '^New$'
poll '[ "$(above_info)" = "$before" ]' || fail "the window is not laid out as before"
[ "$(matrix_axes)" = "$axes" ] || fail "the axes moved: $(matrix_axes), before $axes"
back=$(px count 212 208 200 $X $((B - 10)) $R $B)
[ "$back" -gt $((WIDTH * 11 * 7 / 10)) ] || fail "no information line along the bottom"
keep_shot new_invert_layout

key "$win" ctrl+a
wait_info 'Action: Align    Viewed: [0-9]+    Added: [1-9]'
read -r x0 top right y0 <<<"$axes"
read -r n slope r2 < <(px line 127 127 127 "$x0" "$top" "$right" "$y0")
awk -v s="$slope" -v r="$r2" 'BEGIN { exit !(s > 0.5 && s < 2 && r > 0.9) }' ||
  fail "the hits do not run down the mirrored axis: $n pixels, slope $slope, r2 $r2"
keep_shot new_invert_aligned
echo "test_new_invert: ok"
