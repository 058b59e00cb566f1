#!/usr/bin/env bash
# Each folder under src/ is a layer and may include only its own layer and
# those below it; only src/gui may include the toolkit. Prints every breach as
# FILE:LINE and exits 1 when there is one. Usage: check-layers.sh [ROOT]
set -uo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2

declare -A rank=([core]=1 [engine]=2 [ops]=3 [output]=4 [io]=5 [session]=6 [view]=7 [gui]=8
  [app]=8)
# Two front ends share the top; main may build the window, not the reverse.
may_include() {
  local from=$1 to=$2
  [ "$from" = "$to" ] && return 0
  [ "$from" = app ] && [ "$to" = gui ] && return 0
  [ "${rank[$to]}" -lt "${rank[$from]}" ]
}

status=0
breach() {
  echo "$1:$2: $3" >&2
  status=1
}

while IFS= read -r -d '' file; do
  rel=${file#src/}
  layer=${rel%%/*}
  if [ -z "${rank[$layer]:-}" ]; then
    breach "$file" 1 "folder '$layer' is not a layer (add it to scripts/check-layers.sh)"
    continue
  fi
  n=0
  while IFS= read -r line; do
    n=$((n + 1))
    [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*([\"\<])([^\"\>]*)[\"\>] ]] || continue
    kind=${BASH_REMATCH[1]} target=${BASH_REMATCH[2]}
    base=${target##*/}
    if [[ $base =~ ^(fx\.h|fxkeys\.h|FX[A-Za-z0-9_]*\.h)$ ]] && [ "$layer" != gui ]; then
      breach "$file" "$n" "$layer includes the toolkit header $target (only src/gui may)"
      continue
    fi
    [ "$kind" = '"' ] || continue
    if [[ $target == ../* || $target == */../* ]]; then
      breach "$file" "$n" "$layer includes $target by a relative path (name it from src/)"
      continue
    fi
    [[ $target == */* ]] || continue # beside the including file: same layer
    to=${target%%/*}
    if [ -z "${rank[$to]:-}" ]; then
      breach "$file" "$n" "$layer includes $target from '$to', which is not a layer"
    elif ! may_include "$layer" "$to"; then
      breach "$file" "$n" "$layer (layer ${rank[$layer]}) includes $target ($to, layer ${rank[$to]})"
    fi
  done <"$file"
done < <(find src -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) -print0 | sort -z)

[ $status -eq 0 ] && echo "check-layers: every include points down"
exit $status
