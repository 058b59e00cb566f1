#!/usr/bin/env bash
# atomic_save.sh VELK: a save that cannot complete, because a file-size limit
# stops its writes or because the device is full, leaves the file it would
# have replaced byte for byte as it was and no new file beside it.
set -u
velk=$1
data=$(cd "$(dirname "$0")/../data" && pwd)
work=$(mktemp -d)
mounted=""
cleanup() {
  [ -n "$mounted" ] && umount "$mounted"
  rm -rf "$work"
}
trap cleanup EXIT
fail=0
check() { # what, condition...
  local what=$1
  shift
  if ! "$@"; then
    echo "FAIL: $what"
    fail=1
  fi
}

# A small alignment first, then the whole one (about 7 KB) over it.
run() { # folder, interval of sequence 1, limit in KB (or "")
  local dir=$1 interval=$2 limit=$3
  cat >"$dir/run.cmd" <<CMD
start
input1 $data/small/human_577-2576.fa $interval
input2 $data/small/orang_1-2000.fa
align
save keep.glb_align as Global
exit
CMD
  (
    cd "$dir" || exit 9
    [ -n "$limit" ] && ulimit -f "$limit"
    env -u DISPLAY HOME="$work" TMPDIR="$work" "$velk" --batch run.cmd >/dev/null 2>"$work/stderr"
  )
}

expect_kept() { # folder
  local dir=$1
  check "status after a failed save" test "$status" = 1
  check "error message" grep -q "^Error: Cannot write file for save." "$work/stderr"
  check "old file unchanged in $dir" cmp -s "$dir/keep.glb_align" "$work/reference"
  check "no new file left in $dir" test -z "$(find "$dir" -name '.keep.glb_align.*')"
}

# File-size limit: every write past 4 KB fails.
mkdir "$work/limit"
run "$work/limit" 1..300 ""
cp "$work/limit/keep.glb_align" "$work/reference"
run "$work/limit" "" 4
status=$?
expect_kept "$work/limit"

# A full device: a tiny file system, filled up after the first save.
mkdir "$work/full"
if mount -t tmpfs -o size=64k tmpfs "$work/full" 2>/dev/null; then
  mounted="$work/full"
  run "$work/full" 1..300 ""
  cp "$work/full/keep.glb_align" "$work/reference"
  dd if=/dev/zero of="$work/full/filler" bs=1k count=100 2>/dev/null
  run "$work/full" "" ""
  status=$?
  expect_kept "$work/full"
  # With room again the same save goes through.
  rm "$work/full/filler"
  run "$work/full" "" ""
  check "save with room" test $? = 0
  check "saved in full" test "$(wc -c <"$work/full/keep.glb_align")" -gt 5000
else
  echo "tmpfs cannot be mounted here: full-device case skipped"
fi
exit $fail
