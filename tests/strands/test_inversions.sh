#!/usr/bin/env bash
# Both strands on a pair with planted inversions (tests/data/inversions,
# made by evolve.py): "align both" finds each inversion as hits of the other
# strand at the coordinates of the truth, leaves the session's own hits as
# "align" finds them, and saves and reopens them unchanged; "reverse" turns
# the session round.
set -euo pipefail
velk=$(realpath "${1:?usage: test_inversions.sh VELK_BINARY}")
here=$(cd "$(dirname "$0")" && pwd)
data=$(cd "$here/../data/inversions" && pwd)
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

echo "strands tests passed"
