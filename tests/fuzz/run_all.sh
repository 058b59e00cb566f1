#!/bin/sh
# Usage: run_all.sh BUILD_DIR SECONDS
# Replays each fuzz target's saved corpus (tests/fuzz/corpus/<name>/), then
# fuzzes it for SECONDS (with tests/fuzz/fuzz_<name>.dict when present). New inputs and crash files go to a temporary
# folder; any crash fails the script. The seed is fixed so that a run can be
# repeated exactly (VELK_FUZZ_SEED=0 lets libFuzzer choose one).
set -eu
build=$1
seconds=$2
seed=${VELK_FUZZ_SEED:-1}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/velk_fuzz_run.XXXXXX")
trap 'rm -rf "$work"' EXIT
found=0
for exe in $(find "$build" -type f -name 'fuzz_*' -perm -u+x | sort); do
  target=$(basename "$exe")
  name=${target#fuzz_}
  corpus="$here/corpus/$name"
  mkdir -p "$work/$name"
  found=1
  dict=""
  [ -f "$here/$target.dict" ] && dict="-dict=$here/$target.dict"
  echo "== $target: saved corpus"
  if [ -d "$corpus" ]; then
    "$exe" -runs=0 -artifact_prefix="$work/$name/" "$corpus"
  fi
  echo "== $target: fuzzing for $seconds s"
  if [ -d "$corpus" ]; then
    "$exe" -max_total_time="$seconds" -seed="$seed" $dict -artifact_prefix="$work/$name/" "$work/$name" "$corpus"
  else
    "$exe" -max_total_time="$seconds" -seed="$seed" $dict -artifact_prefix="$work/$name/" "$work/$name"
  fi
done
[ "$found" = 1 ] || { echo "no fuzz targets under $build" >&2; exit 1; }
