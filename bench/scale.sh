#!/usr/bin/env bash
# scale.sh [SECTION...]: Align at scale, each figure as a ratio to a reference
# run of the same command (machines are noisy). Sections (default: all):
#   scaling  generated related pairs of 1, 2, 4 and 8 Mb (5 % substitutions,
#            0.5 % indels) against the 1 Mb run; memory of a 50 kb pair
#   self     poly-A and (ACGTTGCA)n against themselves; H. pylori F32 against
#            itself (0.4, 0.8, 1.58 Mb) against F32 x Gambia
#   recall   generated 1 Mb pairs at 6-36 % substitutions (1 % indels):
#            recall and precision against their truth, default and sensitive
#            Align, LASTZ (plus strand) as the reference; the shared
#            synthetic pair's plus-strand points
#   evolved  H. pylori F32 evolved by the shared evolve.py at 6-36 %
#            substitutions (1 % indels): recall of the truth's points on
#            both strands (Velk: a second run on sequence 2
#            invert-complemented), default and sensitive Align against
#            LASTZ, with times as ratios to LASTZ's
#   hpylori  coverage of LASTZ's plus-strand positions on the H. pylori
#            genomes, default and sensitive Align, times and memory as ratios
#            to LASTZ
#   repeats  a related 1 Mb pair with 1000 copies of four 300-bp elements
#            (10-20 % diverged) in each: Align against nucmer
# BENCH_SELF (say "s48x" or "default s") runs only those settings of the
# F32-against-itself table, by their tags. VELK (default build/velk) is the
# binary, VELK_DATA (default /work/shared/data) the shared data, BENCH_WORK
# a folder that keeps the generated pairs between runs. Times are user CPU
# seconds.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
velk=$(realpath "${VELK:-$root/build/velk}")
data=${VELK_DATA:-/work/shared/data}
work=${BENCH_WORK:-$(mktemp -d)}
mkdir -p "$work"
cd "$work"
sections=${*:-scaling self recall evolved hpylori repeats}
gen() { python3 "$here/gen_pair.py" "$@"; }
score() { python3 "$here/score_pairs.py" "$@"; }
have() { command -v "$1" >/dev/null; }

# align LABEL SEQ1 SEQ2 [OPTIONS [SCORES]]: runs one Align (after a "score"
# command with SCORES when given); sets T (user s), M (MB).
align() {
  {
    printf 'start\ninput1 %s\ninput2 %s\n' "$2" "$3"
    [ -z "${5:-}" ] || printf 'score %s\n' "$5"
    printf 'align %s\nsave %s.loc_align as Local\nexit\n' "${4:-}" "$1"
  } >"$1.cmd"
  /usr/bin/time -f "%U %M" -o "$1.time" nice "$velk" --batch "$1.cmd" >"$1.out" 2>&1 || {
    echo "$1: Velk failed"; tail -3 "$1.out"; exit 1; }
  read -r T M <"$1.time"
  M=$((M / 1024))
}
# timed LABEL COMMAND...: any other program; sets T and M the same way.
timed() {
  local label=$1
  shift
  /usr/bin/time -f "%U %M" -o "$label.time" nice "$@" >"$label.txt" 2>"$label.err"
  read -r T M <"$label.time"
  M=$((M / 1024))
}
# strands LABEL SEQ1 SEQ2 [OPTIONS]: Align on the pair and on SEQ2
# invert-complemented (LABEL.p, LABEL.m); sets T to the sum of the times.
strands() {
  align "$1.p" "$2" "$3" "${4:-}"
  local tp=$T
  align "$1.m" "$2" "$3 invertcomplement" "${4:-}"
  T=$(python3 -c "import sys; print('%.2f' % (float(sys.argv[1]) + float(sys.argv[2])))" "$tp" "$T")
}
ratio() { python3 -c "import sys; a, b = map(float, sys.argv[1:]); print('%.2f' % (a / max(b, 0.005)))" "$1" "$2"; }
pair() { # NAME LENGTH SUBST INDEL SEED
  [ -f "$1.a.fa" ] || gen evolve "$1" "$2" "$3" "$4" "$5"
}

for section in $sections; do
  case $section in
  scaling)
    echo "== scaling (reference: the 1 Mb pair)"
    pair p1 1000000 0.05 0.005 1
    align p1 p1.a.fa p1.b.fa
    ref=$T
    echo "1 Mb: ${T} s, ${M} MB"
    prev=$T
    for mb in 2 4 8; do
      pair "p$mb" $((mb * 1000000)) 0.05 0.005 "$mb"
      align "p$mb" "p$mb.a.fa" "p$mb.b.fa"
      echo "$mb Mb: ${T} s (x$(ratio "$T" "$ref") the 1 Mb run, x$(ratio "$T" "$prev") the half size; aim <= 2.5 from 4 to 8), ${M} MB"
      prev=$T
    done
    pair p50k 50000 0.05 0.005 50
    align p50k p50k.a.fa p50k.b.fa
    echo "50 kb: ${T} s, ${M} MB (aim < 20 MB)"
    ;;
  self)
    echo "== self-alignment"
    g1=$data/pairs/hpylori_genomes/H_pylori_F32_NC_017366.fa
    g2=$data/pairs/hpylori_genomes/H_pylori_Gambia94-24_NC_017371.fa
    # Without the repeat limit (repeats=0) the chaining alone must keep
    # these from growing four times per doubling.
    for kb in 5 10 20 40; do
      [ -f "polyA$kb.fa" ] || gen periodic "polyA$kb" $((kb * 1000)) A
      align "polyA$kb" "polyA$kb.fa" "polyA$kb.fa"
      line="poly-A $kb kb: ${T} s (aim < 1 s), $(grep -o 'Repeats: [0-9]*' "polyA$kb.out" || echo 'Repeats: 0')"
      align "polyA${kb}n" "polyA$kb.fa" "polyA$kb.fa" repeats=0
      echo "$line; no limit: ${T} s"
    done
    for kb in 16 32 64 125; do
      [ -f "per$kb.fa" ] || gen periodic "per$kb" $((kb * 1000)) ACGTTGCA
      align "per$kb" "per$kb.fa" "per$kb.fa"
      line="(ACGTTGCA)n $kb kb: ${T} s (aim < 1 s)"
      align "per${kb}n" "per$kb.fa" "per$kb.fa" repeats=0
      echo "$line; no limit: ${T} s"
    done
    if [ -f "$g1" ]; then
      align f32gambia "$g1" "$g2"
      ref=$T
      echo "F32 x Gambia (reference): ${T} s, ${M} MB"
      # Repeats beside the diagonal: the share of LASTZ's off-diagonal
      # plus-strand columns that Velk's off-diagonal hits reproduce.
      if have lastz; then
        [ -f f32selflz.txt ] ||
          timed f32selflz lastz "$g1" "$g1" --format=general:strand2,zstart1,zstart2,text1,text2
        # The settings the manual gives for a sequence's repeats come
        # last: looser frames, then also the weaker mismatch and gap scores
        # that follow older copies further, or instead the gapped extension
        # of every hit, also under a looser maximal P-value. Then per LASTZ identity band: the share of its
        # columns reproduced.
        while IFS='|' read -r -u 3 tag opt scores; do
          case " ${BENCH_SELF:-${tag:-default}} " in *" ${tag:-default} "*) ;; *) continue ;; esac
          align "f32gambia$tag" "$g1" "$g2" "$opt" "$scores"
          tr=$T
          align "f32self$tag" "$g1" "$g1" "$opt" "$scores"
          read -r share vc lc < <(score self "f32self$tag.loc_align" f32selflz.txt)
          echo "F32 x itself, ${opt:-default}${scores:+, score $scores}: off-diagonal columns of LASTZ reproduced $share ($vc Velk, $lc LASTZ; aim >= 0.8), ${T} s = x$(ratio "$T" "$tr") F32 x Gambia (aim < 2)"
          echo "  by identity: $(score self-bands "f32self$tag.loc_align" f32selflz.txt)"
        done 3<<'SETTINGS'
|
s|sensitive|
s48|sensitive 4/8=12|
s48w|sensitive 4/8=12|m=1.5 mm=-1 gapo=-4 gapl=-1.5
s48x|sensitive 4/8=12 extend|
s48x6|sensitive 4/8=12 extend p=1e-6|
SETTINGS
      fi
      for to in 400000 800000 0; do
        align "f32self$to" "$g1 1 $to" "$g1 1 $to"
        line="F32 x itself to $to (0: whole): ${T} s, x$(ratio "$T" "$ref") the reference (aim <= 2 for the whole), ${M} MB"
        align "f32self${to}n" "$g1 1 $to" "$g1 1 $to" repeats=0
        echo "$line; no limit: x$(ratio "$T" "$ref")"
      done
    fi
    ;;
  recall)
    echo "== recall and precision against the truth (reference: LASTZ, plus strand)"
    for s in 06 12 18 24 30 36; do
      pair "d$s" 1000000 "0.$s" 0.01 "$((10#$s))"
      align "d$s" "d$s.a.fa" "d$s.b.fa"
      tv=$T
      read -r r p < <(score truth "d$s.loc_align" "d$s.truth.tsv")
      align "d${s}s" "d$s.a.fa" "d$s.b.fa" sensitive
      ts=$T
      read -r rs ps < <(score truth "d${s}s.loc_align" "d$s.truth.tsv")
      # Columns 1-10 residues from the truth: found, but a few bases off.
      read -r mv _ < <(score misplaced "d$s.loc_align" "d$s.truth.tsv")
      read -r ms _ < <(score misplaced "d${s}s.loc_align" "d$s.truth.tsv")
      line="subst 0.$s: default recall $r precision $p misplaced $mv; sensitive recall $rs precision $ps misplaced $ms"
      if have lastz; then
        timed "lz$s" lastz "d$s.a.fa" "d$s.b.fa" --format=general:strand2,zstart1,zstart2,text1,text2
        read -r rl pl < <(score lastz-truth "lz$s.txt" "d$s.truth.tsv")
        read -r ml _ < <(score lastz-misplaced "lz$s.txt" "d$s.truth.tsv")
        line="$line; LASTZ recall $rl precision $pl misplaced $ml; time default x$(ratio "$tv" "$T"), sensitive x$(ratio "$ts" "$T") LASTZ's"
      fi
      echo "$line"
    done
    syn=$data/synthetic/hpF32_evolved.fa
    if [ -f "$syn" ]; then
      g1=$data/pairs/hpylori_genomes/H_pylori_F32_NC_017366.fa
      align syn "$g1" "$syn"
      echo "shared synthetic pair, plus-strand recall: default $(score points syn.loc_align "$data/synthetic/hpF32_evolved.points.tsv") (${T} s)"
      align syns "$g1" "$syn" sensitive
      echo "shared synthetic pair, plus-strand recall: sensitive $(score points syns.loc_align "$data/synthetic/hpF32_evolved.points.tsv") (${T} s)"
    fi
    ;;
  evolved)
    echo "== evolved F32, both strands (reference: LASTZ; aim: sensitive >= LASTZ - 0.01 at <= 0.3 x its time)"
    g1=$data/pairs/hpylori_genomes/H_pylori_F32_NC_017366.fa
    evolve=$data/synthetic/evolve.py
    [ -f "$g1" ] && [ -f "$evolve" ] && have lastz || { echo "needs the genomes, evolve.py and lastz"; continue; }
    printf '%-6s %-18s %-18s %-14s %s\n' subst "default (s)" "sensitive (s)" "LASTZ (s)" "misplaced default/sensitive/LASTZ"
    for s in 06 12 18 24 30 36; do
      [ -f "ev$s.fa" ] || python3 "$evolve" "$g1" "ev$s" --seed "$((10#$s))" --sub "0.$s" --indel 0.01 >/dev/null
      timed "evlz$s" lastz "$g1" "ev$s.fa" --format=general:strand2,zstart1,zstart2,text1,text2
      tl=$T
      read -r rl _ < <(score lastz-strands "ev$s.points.tsv" "evlz$s.txt" "ev$s.fa")
      read -r ml _ < <(score lastz-misplaced "evlz$s.txt" "ev$s.points.tsv")
      strands "ev$s" "$g1" "ev$s.fa"
      td=$T
      read -r rd _ < <(score strands "ev$s.points.tsv" "ev$s.p.loc_align" "ev$s.m.loc_align")
      read -r md _ < <(score misplaced "ev$s.p.loc_align" "ev$s.points.tsv")
      strands "ev${s}s" "$g1" "ev$s.fa" sensitive
      read -r rs _ < <(score strands "ev$s.points.tsv" "ev${s}s.p.loc_align" "ev${s}s.m.loc_align")
      read -r ms _ < <(score misplaced "ev${s}s.p.loc_align" "ev$s.points.tsv")
      printf '0.%-4s %-18s %-18s %-14s %s\n' "$s" "$rd ($td, x$(ratio "$td" "$tl"))" \
        "$rs ($T, x$(ratio "$T" "$tl"))" "$rl ($tl)" "$md / $ms / $ml"
    done
    ;;
  hpylori)
    echo "== H. pylori genomes (reference: LASTZ, plus strand)"
    g1=$data/pairs/hpylori_genomes/H_pylori_F32_NC_017366.fa
    g2=$data/pairs/hpylori_genomes/H_pylori_Gambia94-24_NC_017371.fa
    [ -f "$g1" ] && have lastz || { echo "needs the genomes and lastz"; continue; }
    [ -f hplz.txt ] || timed hplz lastz "$g1" "$g2" --format=general:strand2,zstart1,zstart2,text1,text2
    [ -f hplz.time ] && read -r tl ml <hplz.time && ml=$((ml / 1024))
    echo "LASTZ: ${tl} s, ${ml} MB"
    for opt in "" sensitive; do
      align "hp$opt" "$g1" "$g2" "$opt"
      echo "Velk ${opt:-default}: coverage $(score coverage "hp$opt.loc_align" hplz.txt), ${T} s = x$(ratio "$T" "$tl") LASTZ's, ${M} MB = x$(ratio "$M" "$ml") LASTZ's"
    done
    ;;
  repeats)
    echo "== repeat-rich pair (reference: nucmer)"
    [ -f rr.a.fa ] || gen repeats rr 1000000 7
    align rr rr.a.fa rr.b.fa
    line="Velk: ${T} s, ${M} MB, $(grep -c '^Score' rr.loc_align) hits"
    tv=$T
    align rrs rr.a.fa rr.b.fa sensitive
    line="$line; sensitive ${T} s = x$(ratio "$T" "$tv") default, ${M} MB"
    if have nucmer; then
      timed rrnuc nucmer -p rrnuc rr.a.fa rr.b.fa
      line="$line; nucmer ${T} s, ${M} MB; Velk x$(ratio "$tv" "$T") nucmer's time (aim <= 1)"
    fi
    echo "$line"
    ;;
  *)
    echo "unknown section $section"
    exit 1
    ;;
  esac
done
