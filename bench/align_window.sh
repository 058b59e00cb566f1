#!/usr/bin/env bash
# Align with the window shown (islands and chains drawn as they are found)
# against the same Align headless, in one run: the first 1,000,000 residues
# of the two H. pylori genomes, default parameters (word index), and
# NOHASH=1 for the full diagonal scan, LENGTH for another number of residues.
# Prints both wall times and their ratio.
# Usage: bench/align_window.sh [VELK_BINARY]
set -euo pipefail
velk=$(realpath "${1:-build/velk}")
pairs=${VELK_DATA:-/work/shared/data}/pairs/hpylori_genomes
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$velk"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
length=${LENGTH:-1000000}
option=""
[ -n "${NOHASH:-}" ] && option=" nohash"
commands() {
  echo start
  echo "input1 $pairs/H_pylori_F32_NC_017366.fa 1-$length"
  echo "input2 $pairs/H_pylori_Gambia94-24_NC_017371.fa 1-$length"
  [ "$1" = shown ] && echo show
  echo "align$option"
  echo "save $1.sum_align as summary"
  echo exit
}
commands headless >headless.cmd
commands shown >shown.cmd
seconds() {
  local start end
  start=$(date +%s.%N)
  HOME="$work" TMPDIR="$work" "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  python3 -c "print($end - $start)"
}
headless=$(seconds "$velk" --batch headless.cmd)
shown=$(seconds "$velk" shown.cmd)
cmp -s <(tail -n +3 headless.sum_align) <(tail -n +3 shown.sum_align) ||
  echo "warning: the two runs found different hits"
printf 'align %d residues%s: headless %.2f s, window %.2f s, ratio %.2f\n' "$length" "$option" "$headless" \
  "$shown" "$(python3 -c "print($shown / $headless)")"
