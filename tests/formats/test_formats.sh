#!/usr/bin/env bash
# Standard formats out, sequence files as people keep them in:
# - PAF and MAF of real pairs in every orientation agree with the sequences
#   (MAF read by Biopython) and pair the same residues as the local file;
# - gzip inputs give byte-identical files; a cut-off one is refused by name
#   and what was saved before stays;
# - each record of a many-record file, by name and by number, gives the files
#   of that record alone in its own file;
# - velk --batch - runs the same commands from the standard input.
set -euo pipefail
velk=${1:?usage: test_formats.sh VELK_BINARY}
here=$(cd "$(dirname "$0")" && pwd)
data=$(cd "$here/../data" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cd "$work"
export HOME="$work" TMPDIR="$work"
check() { /usr/bin/python3 "$here/check_formats.py" "$@"; }
run() { # DIR: runs DIR/run.cmd there
  (cd "$1" && "$velk" --batch run.cmd >/dev/null 2>stderr) || { cat "$1/stderr"; return 1; }
}
commands() { # INPUT1 INPUT2 [align options]: a session saved in every format
  printf 'start\ninput1 %s\ninput2 %s\nalign %s\nexpand\n' "$1" "$2" "${3:-}"
  printf 'save x.loc_align as Local\nsave x.sum_align as summary\nsave x.paf as PAF\n'
  printf 'save x.maf as MAF\nexit\n'
}

# ---- The formats against the sequences and the local file -----------------------
mkdir pairs
human=$data/mito/MT-human.fa orang=$data/mito/MT-orang.fa
slice=$data/small/human_577-2576.fa rc=$data/small/orang_1-2000_rc.fa
whale1=$data/human_whale/human_hg38_chr13_75549820-75605809.fa
whale2=$data/human_whale/minke_balAcu1_KI537979_9712654-9744592.fa
n=0
while IFS='|' read -r in1 in2 spec1 spec2; do
  n=$((n + 1))
  mkdir "pairs/$n"
  commands "$in1" "$in2" >"pairs/$n/run.cmd"
  run "pairs/$n"
  check "pairs/$n/x.loc_align" "pairs/$n/x.paf" "pairs/$n/x.maf" "$spec1" "$spec2"
done <<EOF
$human|$orang|$human|$orang
$slice|$rc invertcomplement|$slice|$rc
$rc invertcomplement|$slice|$rc|$slice
$rc invertcomplement|$rc invertcomplement|$rc|$rc
$whale1|$whale2|$whale1|$whale2
$data/genbank/HUMHBB.gb|$data/genbank/HUMHBB.gb|$data/genbank/HUMHBB.gb|$data/genbank/HUMHBB.gb
EOF
grep -q $'\t-\t' pairs/2/x.paf || fail "an invert-complemented sequence 2 gives no '-' strand"
grep -q $'\t+\t' pairs/4/x.paf || fail "two turned sequences are not on '+'"

# ---- Compressed inputs ---------------------------------------------------------------
# Plain and compressed files under the same names: every saved file the same.
mkdir plain packed named cut stdin records
cp "$human" plain/a.fa
cp "$orang" plain/b.fa
gzip -c "$human" >packed/a.fa
gzip -c "$orang" >packed/b.fa
commands a.fa b.fa | sed 's/^exit$/greedy\nsave x.glb_align as Global/' >plain/run.cmd
cp plain/run.cmd packed/
run plain
run packed
for f in x.loc_align x.sum_align x.glb_align x.paf x.maf; do
  cmp plain/$f packed/$f || fail "$f differs for compressed input"
done
# Named .gz, in two members as bgzip writes them: the same but for the names.
head -c 9000 "$human" | gzip -c >named/a.fa.gz
tail -c +9001 "$human" | gzip -c >>named/a.fa.gz
cp packed/b.fa named/b.fa.gz
commands a.fa.gz b.fa.gz >named/run.cmd
run named
for f in x.paf x.maf; do cmp plain/$f named/$f || fail "$f differs for .gz input"; done
cmp -s <(sed 's/\.gz$//' named/x.loc_align) plain/x.loc_align || fail "local file differs for .gz"

# Cut off: refused by name, with exit status 1; what was saved before stays.
head -c 3000 packed/a.fa >cut/a.fa.gz
cp plain/a.fa plain/b.fa cut/
{
  commands a.fa b.fa | sed '/^exit$/d'
  printf 'input1 a.fa.gz\ninput2 b.fa\nsave x.loc_align as Local\n'
} >cut/run.cmd
status=0
(cd cut && "$velk" --batch run.cmd >/dev/null 2>stderr) || status=$?
[ "$status" = 1 ] || fail "a cut-off .gz gives exit status $status"
grep -q "ERROR: Damaged compressed file. $" cut/stderr || fail "no damage message: $(cat cut/stderr)"
grep -q "File: a.fa.gz. $" cut/stderr || fail "the message does not name the file"
cmp cut/x.loc_align plain/x.loc_align || fail "the file saved before the error changed"

# ---- Records of a many-record file -------------------------------------------------
{
  cat "$orang" "$slice"
  sed '1s/.*/>orang_rc piece/' "$rc"
} >records/many.fa
gzip -c records/many.fa >records/many.fa.gz
i=0
for name in MT_orang MT_human orang_rc; do
  i=$((i + 1))
  mkdir "records/$i"
  awk -v want=$i '/^>/ { n++ } n == want' records/many.fa >records/$i/alone.fa
  commands alone.fa "$human" >records/$i/run.cmd
  run "records/$i"
  for choice in "$name" "$i" "#$i"; do
    for file in many.fa many.fa.gz; do
      d=records/$i/${choice//#/n}-$file
      mkdir "$d"
      commands "../../$file record=$choice" "$human" >"$d/run.cmd"
      run "$d"
      for f in x.paf x.maf x.sum_align; do # but for the name of the file it is in
        cmp -s <(sed '/File:/,+1d' "$d/$f") <(sed '/File:/,+1d' "records/$i/$f") ||
          fail "record $choice of $file: $f differs from the record alone"
      done
      grep -q "record=$name\$" "$d/x.loc_align" || fail "record $choice not named in the file"
    done
  done
done
d=records/1/MT_orang-many.fa
check $d/x.loc_align $d/x.paf $d/x.maf records/many.fa "$human"

# ---- Commands from the standard input -----------------------------------------------
cp plain/a.fa plain/b.fa stdin/
commands a.fa b.fa | (cd stdin && "$velk" --batch - >/dev/null)
for f in x.loc_align x.paf; do cmp stdin/$f plain/$f || fail "--batch - gives another $f"; done
echo "test_formats: all checks passed"
