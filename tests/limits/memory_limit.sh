#!/usr/bin/env bash
# memory_limit.sh VELK: under any address-space limit (ulimit -v) a run
# either does all its work or ends with "Not enough memory" and exit 1,
# leaving the file it would have saved as it was; it is never killed by a
# signal, and never reports success with less than the whole alignment.
set -u
velk=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
data=$(cd "$(dirname "$0")/../data/hpylori" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
cat >run.cmd <<CMD
start
input1 $data/H_pylori26695_Bslice.fa
input2 $data/H_pyloriJ99_Bslice.fa
align
merge
save out.loc_align as Local
exit
CMD
export HOME=$work TMPDIR=$work
unset DISPLAY

# run LIMIT_KB: sets status (0 whole, 1 refused, 2 could not start, 9 fault)
# and says why a fault is one.
run() {
  printf 'the alignment saved before\n' >out.loc_align
  (ulimit -v "$1" && exec "$velk" --batch run.cmd) >/dev/null 2>stderr
  local rc=$?
  if [ $rc = 127 ] || grep -q "Cannot create heap" stderr; then
    status=2
  elif [ $rc = 0 ] && cmp -s out.loc_align whole.loc_align; then
    status=0
  elif [ $rc = 1 ] && grep -q "Not enough memory" stderr &&
    [ "$(cat out.loc_align)" = "the alignment saved before" ]; then
    status=1
  else
    status=9
    faults=$((faults + 1))
    if [ $faults -le 5 ]; then
      echo "FAIL at ulimit -v $1: exit $rc, $(wc -c <out.loc_align) bytes saved"
      head -3 stderr
    fi
  fi
}

faults=0
"$velk" --batch run.cmd >/dev/null 2>&1 && mv out.loc_align whole.loc_align || {
  echo "FAIL: the run without a limit"
  exit 1
}
# The smallest limit that does all the work (in steps of 64 KB)...
lo=4096 hi=1048576
while [ $((hi - lo)) -gt 64 ]; do
  mid=$(((lo + hi) / 2))
  run $mid 2>/dev/null # the shell's word on a killed run: the run's own stderr is kept
  if [ $status = 0 ]; then hi=$mid; else lo=$mid; fi
done
# ...and every limit below it, down to one the program cannot start under.
fail=0 refused=0 limit=$((hi - 64)) starts=0
while [ $limit -gt 4096 ] && [ $faults -lt 20 ]; do
  run $limit 2>/dev/null
  case $status in
  1) refused=$((refused + 1)) starts=0 ;;
  2) starts=$((starts + 1)) ;;
  9) fail=1 starts=0 ;;
  0) starts=0 ;;
  esac
  [ $starts -ge 3 ] && break
  limit=$((limit - 64))
done
if [ $refused = 0 ] && [ $fail = 0 ]; then
  echo "FAIL: no limit between start-up and the whole run gave \"Not enough memory\""
  fail=1
fi
echo "whole run from ulimit -v $hi KB; below it, $refused limits refused with \"Not enough memory\", $faults faults"
exit $fail
