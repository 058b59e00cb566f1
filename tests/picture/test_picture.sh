#!/usr/bin/env bash
# velk --batch FILE --picture OUT on the mitochondrial pair: the PostScript
# and the SVG picture render (ghostscript, rsvg-convert) to 900 x 700 images
# whose hits lie along the diagonal. A bad OUT fails with a non-zero status
# after the command file's own files have been written. --help and
# --version answer without running anything.
set -euo pipefail
velk=${1:?usage: test_picture.sh VELK_BINARY}
here=$(cd "$(dirname "$0")" && pwd)
pixels="$here/../gui/pixels.py"
data=$(cd "$here/../data" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cd "$work"
ln -s "$data/mito" data
export HOME="$work" TMPDIR="$work" VELK_QUIET=1
# diagonal IMAGE: the hit grey inside the axes fits a rising line (in
# screen coordinates y falls as x grows) over more than half the width.
diagonal() {
  local x0 top right y0 n slope r2
  read -r x0 top right y0 < <(python3 "$pixels" "$1" axes 0 0 899 699)
  [ $((right - x0)) -gt 300 ] || { echo "no axes in $1"; return 1; }
  read -r n slope r2 < <(python3 "$pixels" "$1" line 127 127 127 "$x0" "$top" "$right" "$y0")
  echo "$1: $n hit pixels, slope $slope, r2 $r2"
  [ "$n" -ge 300 ] && awk -v s="$slope" -v r="$r2" 'BEGIN { exit !(s < -0.5 && s > -2 && r > 0.95) }'
}

"$velk" --version | grep -qx 'velk 1.4a' || fail "--version"
"$velk" --help | grep -q -- '--picture OUT' || fail "--help does not tell --picture"

cat >run.cmd <<'CMD'
start
input1 data/MT-human.fa
input2 data/MT-orang.fa
align
save mito.loc_align as Local
exit
CMD

env -u DISPLAY "$velk" --batch run.cmd --picture mito.ps >/dev/null 2>err.txt || fail "ps run: $(cat err.txt)"
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ppmraw -r72 -sOutputFile=ps.ppm mito.ps 2>gs.txt ||
  fail "ghostscript refused the picture: $(cat gs.txt)"
[ -s gs.txt ] && fail "ghostscript complained: $(cat gs.txt)"
head -c 80 ps.ppm | grep -aq '^900 700$' || fail "PostScript page is not 900 x 700"
diagonal ps.ppm || fail "PostScript picture"

env -u DISPLAY "$velk" --batch run.cmd --picture mito.svg >/dev/null 2>err.txt || fail "svg run: $(cat err.txt)"
rsvg-convert mito.svg -o svg.png || fail "rsvg-convert refused the picture"
convert svg.png -depth 8 ppm:svg.ppm
head -c 80 svg.ppm | grep -aq '^900 700$' || fail "SVG picture is not 900 x 700"
diagonal svg.ppm || fail "SVG picture"

rm -f mito.loc_align
status=0
env -u DISPLAY "$velk" --batch run.cmd --picture no-such-dir/mito.ps >/dev/null 2>err.txt || status=$?
[ "$status" -ne 0 ] || fail "a bad picture path succeeded"
grep -q 'no-such-dir/mito.ps' err.txt || fail "no message names the bad path: $(cat err.txt)"
[ -s mito.loc_align ] || fail "the alignment file was not written"

status=0
"$velk" --batch run.cmd --picture mito.png 2>err.txt || status=$?
[ "$status" -eq 2 ] || fail "an unknown picture type gave status $status"
echo "picture tests passed"
