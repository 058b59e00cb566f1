#!/usr/bin/env bash
# Align on both strands against Align on one, in one run: the two H. pylori
# genomes (whole, default parameters), each command file run REPEAT times
# (default 3) alternately, the fastest run of each kept. Prints both wall
# times, the hits of each strand and the ratio; the aim is at most 2.1.
# Usage: bench/align_both.sh [VELK_BINARY]
set -euo pipefail
velk=$(realpath "${1:-build/velk}")
pairs=${VELK_DATA:-/work/shared/data}/pairs/hpylori_genomes
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
commands() {
  echo start
  echo "input1 $pairs/H_pylori_F32_NC_017366.fa"
  echo "input2 $pairs/H_pylori_Gambia94-24_NC_017371.fa"
  echo "align$2"
  echo "save $1.sum_align as summary"
  echo exit
}
commands one "" >one.cmd
commands both " both" >both.cmd
seconds() {
  local start end
  start=$(date +%s.%N)
  HOME="$work" TMPDIR="$work" VELK_QUIET=1 "$velk" --batch "$1" >/dev/null 2>&1
  end=$(date +%s.%N)
  python3 -c "print($end - $start)"
}
best_one=999999 best_both=999999
for ((i = 0; i < ${REPEAT:-3}; i++)); do
  t=$(seconds one.cmd)
  best_one=$(python3 -c "print(min($best_one, $t))")
  t=$(seconds both.cmd)
  best_both=$(python3 -c "print(min($best_both, $t))")
done
rows() { grep -c '^ *[0-9][0-9]*;' "$1" || true; }
section() { awk '/^Reverse strand:$/ { f = 1 } f' "$1" | grep -c '^ *[0-9][0-9]*;' || true; }
cmp -s <(awk '/^Reverse strand:$/ { exit } { print }' both.sum_align | tail -n +11 | head -n -1) \
  <(tail -n +11 one.sum_align) || echo "warning: the session's hits differ between the two runs"
printf 'align: %.2f s, %d hits; align both: %.2f s, %d + %d hits of the other strand; ratio %.2f\n' \
  "$best_one" "$(rows one.sum_align)" "$best_both" "$(($(rows both.sum_align) - $(section both.sum_align)))" \
  "$(section both.sum_align)" "$(python3 -c "print($best_both / $best_one)")"
