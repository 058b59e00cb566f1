#!/usr/bin/env bash
# special_files.sh VELK: inputs and save targets that are not regular files
# (an endless device, a pipe nobody writes, a folder) are refused at once
# with an error naming them; nothing waits on them or reads them forever.
set -u
velk=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
data=$(cd "$(dirname "$0")/../data/small" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
export HOME=$work TMPDIR=$work
unset DISPLAY
mkfifo pipe
mkdir folder
fail=0

# expect WHAT TEXT COMMAND-FILE-LINES...: the run ends within 10 s, with
# exit 1 and TEXT on stderr.
expect() {
  local what=$1 text=$2
  shift 2
  printf '%s\n' "$@" >run.cmd
  timeout 10 "$velk" --batch run.cmd >/dev/null 2>stderr
  local rc=$?
  if [ $rc != 1 ] || ! grep -qF "$text" stderr; then
    echo "FAIL: $what: exit $rc"
    head -5 stderr
    fail=1
  fi
}

seq1="input1 $data/human_577-2576.fa" seq2="input2 $data/orang_1-2000.fa"
for input in /dev/zero pipe folder; do
  expect "input1 $input" "File: $input." start "input1 $input" "$seq2" align exit
  expect "input2 $input" "File: $input." start "$seq1" "input2 $input" align exit
  expect "open $input" "File: $input." start "open $input" exit
done
for target in pipe folder /dev/null; do
  expect "save to $target" "Cannot save over a folder, device or pipe.
    File: $target" start "$seq1" "$seq2" align "save $target as Local" exit
done
# The program's argument too: neither a command file nor an alignment.
for arg in pipe /dev/zero; do
  timeout 10 "$velk" --batch $arg >/dev/null 2>stderr
  rc=$?
  if [ $rc != 1 ] || ! grep -qF "File: $arg." stderr; then
    echo "FAIL: velk --batch $arg: exit $rc"
    fail=1
  fi
done
exit $fail
