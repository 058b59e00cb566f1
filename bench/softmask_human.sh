#!/usr/bin/env bash
# softmask_human.sh [VELK_BINARY]: what soft-masking buys on human regions.
# windowmasker (Debian package ncbi-blast+) counts the 8-mers of every human
# sequence at hand (the chr13 region of tests/data and the human GenBank
# records of $VELK_DATA/genbank) and soft-masks two of them; Velk then
# aligns each pair plain and with "softmask" and "align maskknown":
# - HUMHBB (beta-globin, chr11) against the chr13 region: two unrelated loci,
#   so every hit is a repeat hit;
# - the chr13 region against its minke whale ortholog.
# Prints per pair and mode the hits, their alignment columns, the masked
# share of both sequences and the best of three wall times.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
velk=$(realpath "${1:-$root/build/velk}")
data=${VELK_DATA:-/work/shared/data}
command -v windowmasker >/dev/null || { echo "windowmasker is missing (apt-get install ncbi-blast+)"; exit 1; }
/usr/bin/python3 -c 'import Bio' 2>/dev/null || { echo "Biopython is missing (apt-get install python3-biopython)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
tests=$root/tests/data
chr13=$tests/human_whale/human_hg38_chr13_75549820-75605809.fa
whale=$tests/human_whale/minke_balAcu1_KI537979_9712654-9744592.fa

# The GenBank records as FASTA, upper case (GenBank writes lower case).
/usr/bin/python3 - "$tests/genbank/HUMHBB.gb" "$data"/genbank/HUM*.gb "$data"/genbank/Z69719.gb \
  "$data"/genbank/AB009071.gb "$data"/genbank/X65921.gb <<'EOF'
import os, sys
from Bio import SeqIO
seen = set()
with open("counted.fa", "w") as counted:
    for path in sys.argv[1:]:
        if not os.path.exists(path):
            continue
        record = SeqIO.read(path, "genbank")
        if record.id in seen or record.annotations.get("organism") != "Homo sapiens":
            continue
        seen.add(record.id)
        text = ">%s\n%s\n" % (record.id, str(record.seq).upper())
        counted.write(text)
        if path.endswith("HUMHBB.gb"):
            open("hbb.fa", "w").write(text)
EOF
cat "$chr13" >>counted.fa
cp "$chr13" chr13.fa
windowmasker -mk_counts -in counted.fa -out human.counts >/dev/null 2>&1
for s in hbb chr13; do
  windowmasker -ustat human.counts -in $s.fa -outfmt fasta -out $s.sm.fa >/dev/null 2>&1
done
masked() { # FILE: share of lower-case letters
  awk '!/^>/ { n += length($0); m += gsub(/[acgtn]/, "") } END { printf "%.1f%%", 100 * m / n }' "$1"
}
echo "counted: $(grep -c '>' counted.fa) human sequences, $(grep -v '>' counted.fa | tr -d '\n' | wc -c) bp"
echo "masked by windowmasker: HUMHBB $(masked hbb.sm.fa), chr13 region $(masked chr13.sm.fa)"

measure() { # LABEL INPUT1 INPUT2 ALIGN_OPTIONS
  printf 'start\ninput1 %s\ninput2 %s\nalign %s\nsave out.paf as PAF\nexit\n' "$2" "$3" "$4" >run.cmd
  local best=""
  for _ in 1 2 3; do
    local t0 t1
    t0=$(date +%s.%N)
    "$velk" --batch run.cmd >/dev/null 2>&1
    t1=$(date +%s.%N)
    best=$(awk -v b="$best" -v t="$(echo "$t1 - $t0" | bc)" 'BEGIN { print (b == "" || t < b) ? t : b }')
  done
  printf '%-34s hits %4d  columns %6d  time %.3f s\n' "$1" "$(wc -l <out.paf)" \
    "$(awk '{ s += $11 } END { print s + 0 }' out.paf)" "$best"
}
measure "HUMHBB x chr13, plain" hbb.fa chr13.fa ""
measure "HUMHBB x chr13, softmask maskknown" "hbb.sm.fa softmask" "chr13.sm.fa softmask" maskknown
measure "HUMHBB.gb x chr13, maskknown" "$tests/genbank/HUMHBB.gb" chr13.fa maskknown
measure "chr13 x whale, plain" chr13.fa "$whale" ""
measure "chr13 x whale, softmask maskknown" "chr13.sm.fa softmask" "$whale" maskknown
