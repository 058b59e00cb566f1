#!/bin/sh
# Usage: read_fasta.sh [BUILD_DIR]
# Makes two FASTA files of 100 000 000 random residues (60 and 80 columns) in
# a temporary folder, then times the sequence reader (bench_read_fasta) and
# `wc -l` on each, three runs each with the file in the page cache, and
# prints the best times, their ratio (reader / wc) in wall-clock and in CPU
# time, and the memory the reader needed above its idle size per residue.
# On a busy machine the wall-clock ratio is the less reliable one.
set -eu
build=${1:-$(dirname "$0")/../build}
exe=$(find "$build" -type f -name bench_read_fasta -perm -u+x | head -n 1)
[ -n "$exe" ] || { echo "bench_read_fasta not found under $build" >&2; exit 1; }
tmp=$(mktemp -d "${TMPDIR:-${TMP:-${TEMP:-/tmp}}}/velk_read_fasta.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

bases=$(printf 'ACGT%.0s' $(seq 64)) # one letter for each byte value
for width in 60 80; do
  { echo ">random_${width}"
    head -c 100000000 /dev/urandom | tr '\000-\377' "$bases" | fold -w "$width"
    echo; } > "$tmp/r$width.fa"
done

# CPU time: perf's task clock when perf works (precise), else user +
# system time from time(1), in 10 ms steps.
use_perf=0
if command -v perf > /dev/null 2>&1 && perf stat -x, -e task-clock true > /dev/null 2>&1; then
  use_perf=1
fi

# best wall-clock and best CPU seconds of three runs of a command
best() {
  bw=""; bc=""
  for run in 1 2 3; do
    start=$(date +%s.%N)
    /usr/bin/time -f "%U %S" -o "$tmp/time" "$@" > "$tmp/out"
    wall=$(echo "$(date +%s.%N) - $start" | bc -l)
    read -r user sys < "$tmp/time"
    cpu=$(echo "$user + $sys" | bc -l)
    if [ "$use_perf" = 1 ]; then # a second run under perf, for the CPU time only
      perf stat -x, -e task-clock -o "$tmp/perf" "$@" > /dev/null
      cpu=$(awk -F, '/task-clock/ { printf "%.4f", $1 / 1000 }' "$tmp/perf")
    fi
    if [ -z "$bw" ] || [ "$(echo "$wall < $bw" | bc -l)" = 1 ]; then bw=$wall; fi
    if [ -z "$bc" ] || [ "$(echo "$cpu < $bc" | bc -l)" = 1 ]; then bc=$cpu; fi
  done
  echo "$bw $bc"
}

for width in 60 80; do
  file="$tmp/r$width.fa"
  cat "$file" > /dev/null
  set -- $(best wc -l "$file"); wc_wall=$1; wc_cpu=$2
  set -- $(best "$exe" "$file"); rd_wall=$1; rd_cpu=$2
  per=$(sed -n 's/.*bytes_per_residue \([0-9.]*\).*/\1/p' "$tmp/out")
  printf '%d columns: reader %.3f s (cpu %.3f s), wc -l %.3f s (cpu %.3f s), ratio %.1f (cpu %.1f), %s bytes/residue above idle\n' \
    "$width" "$rd_wall" "$rd_cpu" "$wc_wall" "$wc_cpu" \
    "$(echo "$rd_wall / $wc_wall" | bc -l)" \
    "$(echo "$rd_cpu / $wc_cpu" | bc -l)" "$per"
done
