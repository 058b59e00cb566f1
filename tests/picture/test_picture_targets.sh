#!/usr/bin/env bash
# What a picture or a save may not replace: an input sequence, the running
# command file, the picture of the run, a read-only file. A picture that
# cannot be written whole leaves the previous one as it was.
set -uo pipefail
velk=${1:?usage: test_picture_targets.sh VELK_BINARY}
data=$(cd "$(dirname "$0")/../data/small" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
export HOME="$work" TMPDIR="$work"
unset DISPLAY
cp "$data/orang_1-2000.fa" orang.fa
fail=0
check() { # what, condition...
  local what=$1
  shift
  "$@" || {
    echo "FAIL: $what"
    head -5 err.txt
    fail=1
  }
}
# run COMMAND-FILE PICTURE [LINES...]: writes the command file (unless no
# lines are given) and runs it; sets status.
run() {
  local cmd=$1 picture=$2
  shift 2
  cp "$data/human_577-2576.fa" human.svg # whatever a failed case did to it
  [ $# -gt 0 ] && printf '%s\n' start "input1 human.svg" "input2 orang.fa" "$@" >"$cmd"
  "$velk" --batch "$cmd" --picture "$picture" >/dev/null 2>err.txt
  status=$?
}
same() { cmp -s "$1" "$2"; }

run run.cmd human.svg align exit
check "picture over an input sequence: status" test $status = 1
check "picture over an input sequence: message" \
  grep -q "cannot write the picture human.svg: it is a sequence file of this session" err.txt
check "input sequence kept" same human.svg "$data/human_577-2576.fa"

run run.cmd pic.svg align "save pic.svg as Local" "save run.cmd as Local" exit
cp run.cmd expected.cmd
check "saves over the picture and the command file: status" test $status = 1
check "save over the picture refused" grep -q "Cannot save over the picture file of this run." err.txt
check "save over the command file refused" grep -q "Cannot save over the running command file." err.txt
check "picture written" grep -q "<svg" pic.svg
check "command file kept" same run.cmd expected.cmd

printf 'start\ninput1 human.svg\ninput2 orang.fa\nalign\nexit\n' >run.svg
cp run.svg expected.svg
run run.svg run.svg
check "picture over the command file: status" test $status = 1
check "picture over the command file kept it" same run.svg expected.svg

cp pic.svg old.svg
chmod 444 pic.svg
run run.cmd pic.svg align exit
check "read-only picture: status" test $status = 1
check "read-only picture: message" grep -q "pic.svg: it is a read-only file" err.txt
check "read-only picture kept" same pic.svg old.svg

# A file-size limit stops the writes part way (the program ignores SIGXFSZ).
chmod 644 pic.svg
(ulimit -f 4 && "$velk" --batch run.cmd --picture pic.svg >/dev/null 2>err.txt)
status=$?
check "picture past the size limit: status" test $status = 1
check "picture past the size limit: message" grep -q "cannot write the picture pic.svg" err.txt
check "previous picture kept" same pic.svg old.svg
check "no hidden file left" test -z "$(find . -name '.pic.svg.*')"
exit $fail
