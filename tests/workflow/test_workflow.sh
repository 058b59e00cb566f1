#!/usr/bin/env bash
# test_workflow.sh VELK: the Snakemake workflow on three small pairs made from
# the repository's data. Each sample's files must equal a direct
# `velk --batch` run of the command file the workflow wrote, summary.tsv must
# hold the figures of the local files, and a damaged sample must fail alone,
# leaving its log, while the others complete.
set -euo pipefail
velk=$(realpath "$1")
repo=$(cd "$(dirname "$0")/../.." && pwd)
command -v snakemake >/dev/null || { echo "snakemake is not installed"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir data
cp "$repo/tests/data/mito/MT-human.fa" "$repo/tests/data/mito/MT-orang.fa" data/
# The human genome with its origin moved: two identical halves in conflict,
# of which Greedy keeps the longer.
/usr/bin/python3 - <<'PY'
lines = open("data/MT-human.fa").read().split("\n")
seq = "".join(l for l in lines[1:] if l and not l.startswith(">"))
rot = seq[9000:] + seq[:9000]
def write(name, title, s):
    with open(name, "w") as f:
        f.write(f">{title}\n")
        for i in range(0, len(s), 70):
            f.write(s[i:i + 70] + "\n")
write("data/rotated.fa", "rotated human mitochondrion", rot)
lines = open("data/MT-orang.fa").read().split("\n")
orang = "".join(l for l in lines[1:] if l and not l.startswith(">"))
# The other strand: found only by the search of both strands.
write("data/orang_rc.fa", "orangutan, other strand", orang[::-1].translate(str.maketrans("ACGTacgt", "TGCAtgca")))
PY
# Kept as people keep them: compressed, and many records to a file.
gzip -k data/MT-orang.fa
cat data/MT-orang.fa data/rotated.fa >data/two.fa
# A download cut short.
head -c 3000 data/MT-orang.fa.gz >data/damaged.fa.gz

config() { # config FILE SAMPLE_LINES...
  local file=$1
  shift
  {
    echo "velk: $velk"
    echo "strands: both"
    echo "reference: data/MT-human.fa"
    echo "samples:"
    printf '  %s\n' "$@"
  } >"$file"
}
samples=("orangutan: data/MT-orang.fa.gz" "rotated: {file: data/two.fa, record: rotated}"
  "orangutan_part: {file: data/MT-orang.fa, from: 2001, to: 9000}"
  "orangutan_rc: data/orang_rc.fa")
config good.yaml "${samples[@]}"
snakemake -s "$repo/workflow/Snakefile" --configfile good.yaml --cores 2 -q >snakemake.log 2>&1 ||
  { cat snakemake.log; echo "FAIL: the workflow did not complete"; exit 1; }

fail=0
for s in orangutan rotated orangutan_part orangutan_rc; do
  mkdir -p "direct/$s"
  cp "results/$s/$s.cmd" "direct/$s/"
  (cd "direct/$s" && "$velk" --batch "$s.cmd" --picture "$s.svg" >/dev/null 2>&1) || true
  for ext in sum_align loc_align glb_align paf svg; do
    if ! cmp -s "results/$s/$s.$ext" "direct/$s/$s.$ext"; then
      echo "FAIL: results/$s/$s.$ext differs from the direct run"
      fail=1
    fi
  done
done

# The figures again, from the local files this time.
/usr/bin/python3 - "$fail" <<'PY' || fail=1
import csv, re, sys
rows = {r["sample"]: r for r in csv.DictReader(open("results/summary.tsv"), delimiter="\t")}
bad = False
for s in ("orangutan", "rotated", "orangutan_part", "orangutan_rc"):
    text = open(f"results/{s}/{s}.loc_align").read()
    spans = [(int(a), int(b)) for a, b in re.findall(r"1st: (\d+) \.\. (\d+)", text)]
    counts = [tuple(map(int, m)) for m in re.findall(
        r"Matches: (\d+), Mismatches: (\d+), Gaps #: \d+ Gaps length: (\d+)", text)]
    covered = len(set().union(*(range(a, b + 1) for a, b in spans)))
    identity = sum(c[0] for c in counts) / sum(sum(c) for c in counts)
    got = rows[s]
    want = {"hits": str(len(spans)), "covered": str(covered), "coverage": f"{covered / 16569:.4f}",
            "identity": f"{identity:.4f}"}
    for k, v in want.items():
        if got[k] != v:
            print(f"FAIL: summary.tsv {s} {k} = {got[k]}, the local file gives {v}")
            bad = True
    if float(got["seconds"]) <= 0:
        print(f"FAIL: summary.tsv {s} has no run time")
        bad = True
# The other strand covers what the forward one does.
if abs(float(rows["orangutan_rc"]["coverage"]) - float(rows["orangutan"]["coverage"])) > 0.02:
    print("FAIL: the reverse-strand sample covers", rows["orangutan_rc"]["coverage"])
    bad = True
r = rows["rotated"]
if (r["hits"], r["covered"], r["identity"]) != ("1", "9000", "1.0000") or rows["orangutan"]["global"] != "yes":
    print("FAIL: unexpected hits or global flag", rows)
    bad = True
sys.exit(1 if bad else 0)
PY
grep -q '<rect' results/summary.svg || { echo "FAIL: summary.svg has no bars"; fail=1; }

# A damaged sample fails alone; --keep-going lets the others finish.
rm -rf results .snakemake
config bad.yaml "${samples[@]}" "damaged: data/damaged.fa.gz"
if snakemake -s "$repo/workflow/Snakefile" --configfile bad.yaml --cores 2 --keep-going -q \
  >snakemake.log 2>&1; then
  echo "FAIL: the workflow succeeded with a damaged sample"
  fail=1
fi
grep -q 'Damaged compressed file.*' results/damaged/damaged.log && grep -q 'damaged.fa.gz' results/damaged/damaged.log ||
  { echo "FAIL: the damaged sample's log does not name its file"; fail=1; }
[ ! -e results/damaged/damaged.sum_align ] || { echo "FAIL: damaged sample left outputs"; fail=1; }
for s in orangutan rotated orangutan_part orangutan_rc; do
  cmp -s "results/$s/$s.loc_align" "direct/$s/$s.loc_align" ||
    { echo "FAIL: $s did not complete beside the damaged sample"; fail=1; }
done
[ $fail -eq 0 ] && echo "workflow: all checks passed"
exit $fail
