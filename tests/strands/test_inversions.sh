#!/usr/bin/env bash
# Both strands on a pair with planted inversions (tests/data/inversions,
# made by evolve.py): "align both" finds each inversion as hits of the other
# strand at the coordinates of the truth, leaves the session's own hits as
# "align" finds them, saves and reopens them unchanged, and draws them as
# anti-diagonals in their own colour; "reverse" turns the session round.
set -euo pipefail
velk=$(realpath "${1:?usage: test_inversions.sh VELK_BINARY}")
here=$(cd "$(dirname "$0")" && pwd)
data=$(cd "$here/../data/inversions" && pwd)
pixels="$here/../gui/pixels.py"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cd "$work"
export HOME="$work" TMPDIR="$work" VELK_QUIET=1
run() { env -u DISPLAY "$velk" --batch "$@" >/dev/null 2>err.txt || fail "$*: $(cat err.txt)"; }
commands() { # name, then the lines after the input
  local name=$1
  shift
  { echo start
    echo "input1 $data/hpF32_1-100000.fa"
    echo "input2 $data/hpF32_inv.fa"
    printf '%s\n' "$@"
    echo exit; } >"$name.cmd"
}

commands both "align both" "save both.loc_align as local" "save both.sum_align as summary"
run both.cmd --picture both.ps
python3 "$here/check_inversions.py" "$data/hpF32_inv.blocks.tsv" "$data/hpF32_inv.points.tsv" \
  both.loc_align || fail "the inversions were not found where they are"

# The session's hits are those of one strand, byte for byte.
commands one "align" "save one.loc_align as local" "save one.sum_align as summary"
run one.cmd
for f in loc sum; do
  awk '/^Reverse strand:$/ { exit } { sub(/, strands: both$/, ""); print }' "both.${f}_align" |
    head -c -1 >"forward.$f"
  cmp -s "forward.$f" "one.${f}_align" || fail "align both changed the $f file's own hits"
done
grep -q '^Reverse strand:$' one.loc_align && fail "one strand wrote a section of the other"

# Saved, opened and saved again; reversed, the other strand's hits are the
# session's and sequence 2 is invert-complemented.
commands reopen "open both.loc_align" "save again.loc_align as local" "reverse" \
  "save reversed.loc_align as local" "reverse" "save back.loc_align as local"
sed -i '2,3d' reopen.cmd
run reopen.cmd
cmp -s both.loc_align again.loc_align || fail "opened and saved again, the file changed"
cmp -s both.loc_align back.loc_align || fail "reversed twice, the file changed"
grep -q ' InvertComplement$' reversed.loc_align || fail "reversed: sequence 2 not inverted"
[ "$(grep -c '^Score:' reversed.loc_align)" = "$(grep -c '^Score:' both.loc_align)" ] ||
  fail "reversed: hits lost"
awk '/^Reverse strand:$/ { f = 1 } f && /^     1st: 25001 /' reversed.loc_align | grep -q . &&
  fail "reversed: the inversion is still on the other strand"

# The picture: the inversions are anti-diagonals in the other strand's colour
# (y grows downwards on the page: a positive slope), the rest stays grey.
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ppmraw -r72 -sOutputFile=both.ppm both.ps 2>gs.txt ||
  fail "ghostscript refused the picture: $(cat gs.txt)"
read -r x0 top right y0 < <(python3 "$pixels" both.ppm axes 0 0 899 699)
half=$((x0 + (right - x0) / 2))
read -r n slope r2 < <(python3 "$pixels" both.ppm line 0 0 255 "$half" "$top" "$right" "$y0")
echo "reverse pixels: $n, slope $slope, r2 $r2"
[ "$n" -ge 100 ] && awk -v s="$slope" -v r="$r2" 'BEGIN { exit !(s > 0.5 && s < 2 && r > 0.95) }' ||
  fail "no anti-diagonal of the other strand's colour"
read -r n slope r2 < <(python3 "$pixels" both.ppm line 127 127 127 "$x0" "$top" "$right" "$y0")
[ "$n" -ge 100 ] || fail "the session's hits are not drawn"
"$velk" --help | grep -q '"align both"' || fail "--help does not tell align both"
echo "strands tests passed"
