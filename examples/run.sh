#!/usr/bin/env bash
# run.sh VELK_BINARY: runs align_mito.cmd headless on the mitochondrial pair,
# draws the resulting dot plot and tells where the files are.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
velk=$(realpath "${1:?usage: examples/run.sh VELK_BINARY}")
out=${VELK_EXAMPLE_OUT:-$here/../out/example}
mkdir -p "$out"
out=$(cd "$out" && pwd)
cp "$here/align_mito.cmd" "$out/"
ln -sfn "$here/../tests/data/mito" "$out/data"
cd "$out"
"$velk" --batch align_mito.cmd --picture mito.svg
echo
echo "Alignment files in $out:"
for f in mito.glb_align mito.loc_align mito.sum_align; do
  [ -f "$f" ] && echo "  $f ($(wc -l <"$f") lines)"
done
echo "Dot plot of the pair (open it in a web browser): $out/mito.svg"
