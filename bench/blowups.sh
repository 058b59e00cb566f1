#!/bin/sh
# Usage: blowups.sh [VELK_BINARY]
# Inputs that used to make Velk's work grow with the square of their size or
# worse, each timed beside a reference run of the same command file without
# the costly step (best of three runs; wall-clock and CPU seconds):
#  - poly-A 4 kb against itself, `align nohash` (thousands of overlapping
#    hits), then `merge`, then `reconcile`: each step's own time is the run's
#    time less the Align's. Aim: under 1 s each.
#  - poly-A 50 kb against itself, `align sensitive repeats=0` against
#    `align repeats=0`. Aim: under 2 s.
#  - random 7.6 kb x 2 kb, `align w=4 merge=2000` against `align w=4`; and
#    the mitochondria pair, `align nohash merge=2000` and `merge=32767`
#    against `align nohash`. Aim: within 2 x the default's time.
set -eu
velk=${1:-$(dirname "$0")/../build/velk}
velk=$(cd "$(dirname "$velk")" && pwd)/$(basename "$velk")
data=$(cd "$(dirname "$0")/../tests/data" && pwd)
tmp=$(mktemp -d "${TMPDIR:-${TMP:-${TEMP:-/tmp}}}/velk_blowups.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

python3 - <<'EOF'
import random
r = random.Random(7)
def fasta(name, s):
    with open(name + '.fa', 'w') as f:
        f.write('>%s\n' % name)
        for i in range(0, len(s), 60):
            f.write(s[i:i + 60] + '\n')
fasta('polyA4k', 'A' * 4000)
fasta('polyA50k', 'A' * 50000)
fasta('random7600', ''.join(r.choice('ACGT') for _ in range(7600)))
fasta('random2000', ''.join(r.choice('ACGT') for _ in range(2000)))
EOF

# cmd NAME SEQ1 SEQ2 ACTION...: a command file NAME.cmd
cmd() {
  name=$1 s1=$2 s2=$3
  shift 3
  { echo start; echo "input1 $s1"; echo "input2 $s2"
    for a in "$@"; do echo "$a"; done; echo exit; } > "$name.cmd"
}

# best NAME: best wall-clock and CPU seconds of three runs of NAME.cmd
best() {
  bw=""; bc=""
  for run in 1 2 3; do
    start=$(date +%s.%N)
    /usr/bin/time -f "%U %S" -o time "$velk" --batch "$1.cmd" > "$1.out" 2>&1
    wall=$(echo "$(date +%s.%N) - $start" | bc -l)
    read -r user sys < time
    cpu=$(echo "$user + $sys" | bc -l)
    if [ -z "$bw" ] || [ "$(echo "$wall < $bw" | bc -l)" = 1 ]; then bw=$wall; fi
    if [ -z "$bc" ] || [ "$(echo "$cpu < $bc" | bc -l)" = 1 ]; then bc=$cpu; fi
  done
  echo "$bw $bc"
}

# line LABEL WALL CPU REF_WALL REF_CPU: a step's time and its ratio to the reference
line() {
  printf '%-40s %7.3f s (cpu %7.3f s), reference %7.3f s (cpu %7.3f s), ratio %5.2f (cpu %5.2f)\n' \
    "$1" "$2" "$3" "$4" "$5" "$(echo "$2 / $4" | bc -l)" "$(echo "$3 / $5" | bc -l)"
}

cmd align polyA4k.fa polyA4k.fa "align nohash"
cmd merge polyA4k.fa polyA4k.fa "align nohash" "merge"
cmd reconcile polyA4k.fa polyA4k.fa "align nohash" "reconcile"
set -- $(best align); aw=$1 ac=$2
set -- $(best merge); mw=$1 mc=$2
set -- $(best reconcile); rw=$1 rc=$2
sed -n 's/^ *Action: Align  *Viewed: *[0-9]*  *Added: *\([0-9]*\).*/poly-A 4 kb self, align nohash: \1 hits/p' align.out
line "merge (run less its align)" "$(echo "$mw - $aw" | bc -l)" "$(echo "$mc - $ac" | bc -l)" "$aw" "$ac"
line "reconcile (run less its align)" "$(echo "$rw - $aw" | bc -l)" "$(echo "$rc - $ac" | bc -l)" "$aw" "$ac"

cmd plain polyA50k.fa polyA50k.fa "align repeats=0"
cmd sensitive polyA50k.fa polyA50k.fa "align sensitive repeats=0"
set -- $(best plain); pw=$1 pc=$2
set -- $(best sensitive)
line "poly-A 50 kb, align sensitive repeats=0" "$1" "$2" "$pw" "$pc"

cmd w4 random7600.fa random2000.fa "align w=4"
cmd w4far random7600.fa random2000.fa "align w=4 merge=2000"
set -- $(best w4); dw=$1 dc=$2
set -- $(best w4far)
line "random 7.6 x 2 kb, align w=4 merge=2000" "$1" "$2" "$dw" "$dc"

cmd nohash "$data/mito/MT-human.fa" "$data/mito/MT-orang.fa" "align nohash"
cmd nohashfar "$data/mito/MT-human.fa" "$data/mito/MT-orang.fa" "align nohash merge=2000"
cmd nohashmax "$data/mito/MT-human.fa" "$data/mito/MT-orang.fa" "align nohash merge=32767"
set -- $(best nohash); nw=$1 nc=$2
set -- $(best nohashfar)
line "mitochondria, align nohash merge=2000" "$1" "$2" "$nw" "$nc"
set -- $(best nohashmax)
line "mitochondria, align nohash merge=32767" "$1" "$2" "$nw" "$nc"
