#!/usr/bin/env bash
# bench/workflow.sh [VELK_BINARY]: the Snakemake workflow's own cost.
# 1. A dry run (-n) of 200 generated samples: the jobs planned and the time.
# 2. Three megabase pairs (H. pylori F32 against Gambia, against its evolved
#    copy, and against Gambia invert-complemented) with
#    --cores 1 and --cores 2, in the same run; prints both times and the ratio.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
velk=$(realpath "${1:-$repo/build/velk}")
data=${VELK_DATA:-/work/shared/data}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

{
  echo "velk: $velk"
  echo "reference: $repo/tests/data/mito/MT-human.fa"
  echo "samples:"
  for i in $(seq 1 200); do echo "  s$i: $repo/tests/data/mito/MT-orang.fa"; done
} >many.yaml
start=$(date +%s.%N)
jobs=$(snakemake -s "$repo/workflow/Snakefile" --configfile many.yaml -n --cores 8 2>&1 |
  awk '$1 == "total" && !n++ { print $2 }')
end=$(date +%s.%N)
printf 'dry run, 200 samples: %s jobs planned in %.2f s\n' "$jobs" "$(echo "$end - $start" | bc)"

cat >three.yaml <<YAML
velk: $velk
reference: $data/pairs/hpylori_genomes/H_pylori_F32_NC_017366.fa
samples:
  gambia: $data/pairs/hpylori_genomes/H_pylori_Gambia94-24_NC_017371.fa
  evolved: $data/synthetic/hpF32_evolved.fa
  gambia_rc: {file: $data/pairs/hpylori_genomes/H_pylori_Gambia94-24_NC_017371.fa, invertcomplement: true}
YAML
declare -A took
for cores in 1 2; do
  rm -rf results .snakemake
  start=$(date +%s.%N)
  snakemake -s "$repo/workflow/Snakefile" --configfile three.yaml --cores "$cores" -q >/dev/null 2>&1
  end=$(date +%s.%N)
  took[$cores]=$(echo "$end - $start" | bc)
  printf 'three pairs, --cores %s: %.2f s\n' "$cores" "${took[$cores]}"
done
printf 'ratio cores 2 / cores 1: %.2f\n' "$(echo "${took[2]} / ${took[1]}" | bc -l)"
