#!/usr/bin/env bash
# align_vs_lastz.sh [VELK_BINARY]: headless Align with default parameters
# against LASTZ (default scoring, --format=general) on the same pairs, in the
# same run. Prints per pair: wall time of both and their ratio Velk/LASTZ,
# peak memory of both, and the fraction of LASTZ's aligned positions in
# sequence 1 (plus-strand alignments, the only ones Velk looks for without
# "invertcomplement") that Velk's hits also cover.
# Pairs: the mitochondrial pair of tests/data and a 1 Mb slice of each of the
# two H. pylori genomes (FULL=1: the whole genomes).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
velk=$(realpath "${1:-$root/build/velk}")
data=${VELK_DATA:-/work/shared/data}
command -v lastz >/dev/null || { echo "lastz is missing (apt-get install lastz)"; exit 1; }
[ -x "$velk" ] || { echo "no Velk binary at $velk"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# First N residues of a FASTA file, as a FASTA file.
slice() { # in out n
  awk -v n="$3" 'NR==1{print; next} /^>/{exit} {s=s $0; if (length(s) >= n) exit}
    END{s=substr(s,1,n); for(i=1;i<=length(s);i+=60) print substr(s,i,60)}' "$1" >"$2"
}

# peak resident set in MB and wall seconds from a /usr/bin/time -v log
peak_mb() { awk -F': ' '/Maximum resident set size/{printf "%.1f", $2/1024}' "$1"; }
wall_s() {
  awk -F': ' '/Elapsed \(wall clock\)/{n=split($2,t,":"); s=0; for(i=1;i<=n;i++) s=s*60+t[i]; printf "%.2f", s}' "$1"
}

run_pair() { # label seq1 seq2
  local label=$1 s1=$2 s2=$3 dir="$work/$1"
  mkdir -p "$dir"
  cp "$s1" "$dir/seq1.fa"
  cp "$s2" "$dir/seq2.fa"
  printf 'start\ninput1 seq1.fa\ninput2 seq2.fa\nalign\nsave velk.sal as summary\nexit\n' >"$dir/run.cmd"
  (cd "$dir" && /usr/bin/time -v "$velk" --batch run.cmd >velk.out 2>velk.err) || {
    echo "$label: Velk failed"; tail -5 "$dir/velk.err"; return 1; }
  (cd "$dir" && /usr/bin/time -v lastz seq1.fa seq2.fa --format=general >lastz.txt 2>lastz.err) || {
    echo "$label: LASTZ failed"; tail -5 "$dir/lastz.err"; return 1; }
  local tv tl
  tv=$(wall_s "$dir/velk.err")
  tl=$(wall_s "$dir/lastz.err")
  python3 - "$label" "$dir" "$tv" "$tl" "$(peak_mb "$dir/velk.err")" "$(peak_mb "$dir/lastz.err")" <<'PY'
import sys
label, d, tv, tl, mv, ml = sys.argv[1:]
tv, tl, mv, ml = float(tv), float(tl), float(mv), float(ml)

def union(iv):
    out = []
    for a, b in sorted(iv):
        if out and a <= out[-1][1]:
            out[-1][1] = max(out[-1][1], b)
        else:
            out.append([a, b])
    return out

velk = []  # 0-based half-open intervals in sequence 1
rows = 0
for line in open(d + "/velk.sal"):
    f = [x.strip() for x in line.split(";")]
    if len(f) == 8 and f[0].lstrip("-").isdigit():
        a, b = int(f[0]), int(f[1])
        velk.append((min(a, b) - 1, max(a, b)))
        rows += 1
lastz = []
for line in open(d + "/lastz.txt"):
    if line.startswith("#"):
        continue
    f = line.split()
    if len(f) > 10 and f[2] == "+" and f[7] == "+":
        lastz.append((int(f[4]), int(f[5])))
V, L = union(velk), union(lastz)
total = sum(b - a for a, b in L)
covered, i = 0, 0
for a, b in L:
    for c, e in V:
        if e <= a or c >= b:
            continue
        covered += min(b, e) - max(a, c)
ratio = tv / tl if tl > 0 else float("inf")
cov = covered / total if total else 0.0
print(f"{label}: Velk {tv:.2f} s, {mv:.1f} MB, {rows} hits; LASTZ {tl:.2f} s, {ml:.1f} MB, "
      f"{len(lastz)} plus-strand alignments")
print(f"{label}: time ratio Velk/LASTZ {ratio:.2f} (aim <= 1.0); coverage of LASTZ's "
      f"sequence-1 positions {cov:.3f} (aim >= 0.9); memory Velk - LASTZ {mv - ml:+.1f} MB "
      f"(aim <= +100)")
PY
}

run_pair mito "$root/tests/data/mito/MT-human.fa" "$root/tests/data/mito/MT-orang.fa"
g1=$data/pairs/hpylori_genomes/H_pylori_F32_NC_017366.fa
g2=$data/pairs/hpylori_genomes/H_pylori_Gambia94-24_NC_017371.fa
if [ -f "$g1" ] && [ -f "$g2" ]; then
  if [ -n "${FULL:-}" ]; then
    run_pair hpylori_genomes "$g1" "$g2"
  else
    slice "$g1" "$work/a.fa" 1000000
    slice "$g2" "$work/b.fa" 1000000
    run_pair hpylori_1Mb "$work/a.fa" "$work/b.fa"
  fi
else
  echo "H. pylori genomes not found under $data/pairs/hpylori_genomes; skipped"
fi
