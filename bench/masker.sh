#!/usr/bin/env bash
# masker.sh: the interspersed-repeat masker on a generated repeat-rich pair
# (gen_repeats.py, 3 Mb) and on the shared ordinary pairs.
#   repeat-rich pair: default Align against filter create interspersed +
#     align maskinternal: hits on and off the truth, recall of the truth's
#     points after Greedy, and the time of each run beside nucmer's (Debian
#     package mummer), all in this one run;
#   a small pair where one family fills 39 % of 64 kb: the share of its
#     copies marked with the threshold of the count distribution alone, and
#     with chance's count (the default);
#   ordinary pairs: residues the masker marks, its threshold, and whether
#     the warning of an Align fires.
# VELK (default build/velk), VELK_DATA (default /work/shared/data), BENCH_WORK
# (keeps the generated pair). Times are wall seconds of each whole run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
velk=$(realpath "${VELK:-$root/build/velk}")
masker=$(realpath "${MASKER:-$root/build/bench/bench_masker}")
data=${VELK_DATA:-/work/shared/data}
work=${BENCH_WORK:-$(mktemp -d)}
mkdir -p "$work"
cd "$work"
score() { python3 "$here/score_pairs.py" "$@"; }
wall() { /usr/bin/time -f "%e" -o "$1.time" "${@:2}" >"$1.out" 2>"$1.err" || {
  echo "$1 failed"; tail -3 "$1.err"; exit 1; }; cat "$1.time"; }
run() { # LABEL SEQ1 SEQ2 COMMANDS...: a command file, then its wall time
  local label=$1 a=$2 b=$3
  shift 3
  { printf 'start\ninput1 %s\ninput2 %s\n' "$a" "$b"; printf '%s\n' "$@"; echo exit; } >"$label.cmd"
  wall "$label" "$velk" --batch "$label.cmd"
}

echo "== repeat-rich pair (gen_repeats.py, 3 Mb, seed 26)"
[ -f rr.a.fa ] || python3 "$here/gen_repeats.py" rr >/dev/null
cat rr.log
td=$(run def rr.a.fa rr.b.fa align "save def.loc_align as Local" greedy \
  "save defg.loc_align as Local")
tm=$(run mask rr.a.fa rr.b.fa "filter create interspersed" "align maskinternal" \
  "save mask.loc_align as Local" greedy "save maskg.loc_align as Local")
read -r on0 off0 < <(score off-truth def.loc_align rr.points.tsv)
read -r on1 off1 < <(score off-truth mask.loc_align rr.points.tsv)
r0=$(score points defg.loc_align rr.points.tsv)
r1=$(score points maskg.loc_align rr.points.tsv)
echo "default:        ${td} s, hits on the truth $on0, off it (repeats) $off0;" \
  "recall after Greedy $r0; warned: $(grep -c 'Piled on repeats' def.out || true)"
echo "masked + Align: ${tm} s, hits on the truth $on1, off it (repeats) $off1;" \
  "recall after Greedy $r1; warned: $(grep -c 'Piled on repeats' mask.out || true)"
python3 -c "import sys; o0, o1, a, b = map(float, sys.argv[1:]); \
print('repeat hits down %.0fx (aim >= 20); recall %.3f of the default (aim >= 0.95)' \
% (o0 / max(o1, 1), b / max(a, 1e-9)))" "$off0" "$off1" "$r0" "$r1"
if command -v nucmer >/dev/null; then
  tn=$(wall nuc nucmer -p nuc rr.a.fa rr.b.fa)
  python3 -c "import sys; m, n = map(float, sys.argv[1:]); \
print('nucmer: %.2f s; masking + Align %.2f x nucmer (aim <= 1)' % (n, m / n))" "$tm" "$tn"
else
  echo "nucmer is missing (apt-get install mummer)"
fi
"$masker" rr.a.fa rr.b.fa rr.repeats.tsv | sed 's/^/masker alone: /'

echo "== one family filling 39 % of 64 kb (gen_repeats.py --length 40000 --families 1 --spacing 500)"
[ -f dense.a.fa ] || python3 "$here/gen_repeats.py" dense --length 40000 --families 1 \
  --spacing 500 >/dev/null
for chance in -1 40; do
  VELK_MASK_CHANCE=$chance "$masker" dense.a.fa dense.b.fa dense.repeats.tsv >dense.mask
  echo "$([ "$chance" = -1 ] && echo "distribution only:    " || echo "with chance (default):")" \
    "$(grep -o 'threshold [0-9]* (by chance [0-9]*)' dense.mask);" \
    "$(grep -o 'copies .*' dense.mask)"
done

echo "== shared ordinary pairs"
p=$data/pairs
while read -r a b; do
  [ -f "$p/$a" ] || continue
  "$masker" "$p/$a" "$p/$b" >ord.mask
  marked=$(grep -o '(.*%)' ord.mask | tr '\n' ' ')
  run ord "$p/$a" "$p/$b" align >/dev/null
  echo "$(basename "$a") x $(basename "$b"): marked $marked;" \
    "$(grep -o 'threshold [0-9]* (by chance [0-9]*)' ord.mask); warned:" \
    "$(grep -c 'Piled on repeats' ord.out || true)"
done <<'EOF'
mito/MT-human.fa mito/MT-orang.fa
human_whale/human_hg38_chr13_75549820-75605809.fa human_whale/minke_balAcu1_KI537979_9712654-9744592.fa
hpylori_slices/H_pylori26695_Bslice.fa hpylori_slices/H_pyloriJ99_Bslice.fa
hpylori_slices/H_pylori26695_Eslice.fa hpylori_slices/H_pyloriJ99_Eslice.fa
hpylori_genomes/H_pylori_F32_NC_017366.fa hpylori_genomes/H_pylori_Gambia94-24_NC_017371.fa
EOF

if [ -n "${BIG:-}" ]; then
  echo "== masking a random 100 Mb sequence against itself (cpu: of this process)"
  [ -f big.fa ] || python3 -c "
import random; r = random.Random(1); n = 100_000_000
with open('big.fa', 'w') as f:
    f.write('>big\n')
    for i in range(0, n, 10_000_000):
        s = ''.join(r.choices('ACGT', k=10_000_000))
        f.write('\n'.join(s[j:j + 100] for j in range(0, len(s), 100)) + '\n')"
  "$masker" big.fa big.fa | head -2
  echo "-- the same sequence against a short one (human mitochondrion)"
  "$masker" big.fa "$data/pairs/mito/MT-human.fa" | head -2
fi
