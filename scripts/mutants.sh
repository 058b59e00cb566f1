#!/usr/bin/env bash
# Mutation run: applies each fault of scripts/mutants.txt alone to a scratch
# copy of the working tree, rebuilds it and runs the non-GUI tests. A fault
# is killed when a test fails (or times out), survives when every test
# passes, and is not applicable when its text is no longer found exactly once
# (the code moved on) or the mutant does not build.
#
#   scripts/mutants.sh [-l LIST] [-o REPORT] [-r COMMIT] [FOLDER | NUMBER | FIRST-LAST ...]
#
# With no selection every fault runs; a folder (core, engine, ...) or list
# numbers narrow it. The working tree is copied as it is, or the given
# commit with -r. The scratch copy lives in $VELK_MUTANTS_DIR (default
# $TMPDIR/velk-mutants) and is kept between runs so that rebuilds stay
# incremental. Slow (some 20 seconds a fault on two cores): not part of
# ./test.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
list="$root/scripts/mutants.txt"
report=""
commit=""
while getopts "l:o:r:" opt; do
  case $opt in
  l) list=$(cd "$(dirname "$OPTARG")" && pwd)/$(basename "$OPTARG") ;;
  o) report=$OPTARG ;;
  r) commit=$OPTARG ;;
  *) sed -n '2,15s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
[ -f "$list" ] || { echo "mutants.sh: no list $list" >&2; exit 2; }
scratch=${VELK_MUTANTS_DIR:-${TMPDIR:-/tmp}/velk-mutants}
jobs=${JOBS:-$(nproc)}
mkdir -p "$scratch"
log="$scratch/log"
exec 9>"$scratch/lock"
flock -n 9 || { echo "mutants.sh: another run is using $scratch" >&2; exit 2; }

# Faults as "number<TAB>folder<TAB>file<TAB>find<TAB>replace", in list order.
parse() {
  python3 - "$list" <<'PY'
import sys
for number, line in enumerate(
        (l.rstrip("\n") for l in open(sys.argv[1], encoding="utf-8")
         if l.strip() and not l.startswith("#")), 1):
    path, _, rest = line.partition(": ")
    at = rest.find(" ==>")
    if not path or at < 0:
        sys.exit(f"mutants.txt: bad entry: {line}")
    find, repl = rest[:at], rest[at + 4:]
    repl = repl[1:] if repl.startswith(" ") else repl
    if "\t" in find + repl:
        sys.exit(f"mutants.txt: a tab in an entry: {line}")
    folder = path.split("/")[1] if path.startswith("src/") else "?"
    print("\t".join([str(number), folder, path, find, repl]))
PY
}

selected() { # number folder
  [ $# -gt 2 ] || return 0
  local n=$1 folder=$2 s
  shift 2
  for s in "$@"; do
    case $s in
    "$folder" | "$n") return 0 ;;
    *-*) [ "$n" -ge "${s%-*}" ] && [ "$n" -le "${s#*-}" ] && return 0 ;;
    esac
  done
  return 1
}

# Replaces the one occurrence of FIND in FILE; status 3 when it is missing or
# not unique.
apply() { # file find replace
  python3 - "$@" <<'PY'
import sys
path, find, repl = (a.replace("\u23ce", "\n") for a in sys.argv[1:4])
text = open(path, encoding="utf-8").read()
if text.count(find) != 1:
    sys.exit(3)
open(path, "w", encoding="utf-8").write(text.replace(find, repl))
PY
}

build() { cmake --build "$scratch/build" -j"$jobs" >>"$log" 2>&1; }
tests() {
  (cd "$scratch/build" && ctest -LE gui -j"$jobs" --timeout 120 --stop-on-failure \
    --output-on-failure >>"$log" 2>&1)
}

# The copy is brought up to date file by file: a file whose text changed is
# written anew (so make sees it newer than its objects), the others keep
# their times, and the rebuild stays incremental.
echo "mutants.sh: copying ${commit:-the working tree} to $scratch/src"
rm -rf "$scratch/new"
mkdir -p "$scratch/new" "$scratch/src"
if [ -n "$commit" ]; then
  git -C "$root" archive "$commit" | tar -xf - -C "$scratch/new"
else
  (cd "$root" && git ls-files -co --exclude-standard -z | xargs -0 tar -cf - --no-recursion) |
    tar -xf - -C "$scratch/new"
fi
python3 - "$scratch/new" "$scratch/src" <<'PY'
import filecmp, os, shutil, sys
new, old = sys.argv[1:3]
for top, dirs, files in os.walk(old, topdown=False):
    for name in files:
        if not os.path.lexists(os.path.join(new, os.path.relpath(top, old), name)):
            os.remove(os.path.join(top, name))
for top, dirs, files in os.walk(new):
    target = os.path.join(old, os.path.relpath(top, new))
    os.makedirs(target, exist_ok=True)
    for name in files:
        a, b = os.path.join(top, name), os.path.join(target, name)
        if not (os.path.isfile(b) and filecmp.cmp(a, b, shallow=False)):
            shutil.copyfile(a, b)
            shutil.copymode(a, b)
PY
rm -rf "$scratch/new"
: >"$log"
# lld links the test programs several times faster, and every fault relinks them all.
linker=()
command -v ld.lld >/dev/null && linker=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)
cmake -S "$scratch/src" -B "$scratch/build" -DCMAKE_BUILD_TYPE=Release -DVELK_GUI=OFF \
  "${linker[@]}" >>"$log" 2>&1
build || { echo "mutants.sh: the unchanged tree does not build (see $log)" >&2; exit 1; }
tests || { echo "mutants.sh: the unchanged tree fails its tests (see $log)" >&2; exit 1; }

declare -A killed survived na
results=()
while IFS=$'\t' read -r -u 3 n folder path find repl; do
  selected "$n" "$folder" "$@" || continue
  file="$scratch/src/$path"
  started=$SECONDS
  echo "=== $n $path: $find ==> $repl" >>"$log"
  status=killed
  if [ ! -f "$file" ]; then
    status="n/a"
  else
    cp "$file" "$scratch/original"
    if ! apply "$file" "$find" "$repl"; then
      status="n/a"
    elif ! build; then
      status="n/a"
      echo "(does not build)" >>"$log"
    elif tests; then
      status=survived
    fi
    # Written anew (not copied back with its old time) so that make rebuilds it.
    cat "$scratch/original" >"$file"
  fi
  case $status in
  killed) killed[$folder]=$((${killed[$folder]:-0} + 1)) ;;
  survived) survived[$folder]=$((${survived[$folder]:-0} + 1)) ;;
  *) na[$folder]=$((${na[$folder]:-0} + 1)) ;;
  esac
  line=$(printf '%3d %-8s %s: %s ==> %s' "$n" "$status" "$path" "$find" "$repl")
  printf '%s  (%ds)\n' "$line" $((SECONDS - started))
  results+=("$line")
done 3< <(parse)
build || true # leave the scratch build matching the tree

summary() {
  local f total_k=0 total_s=0 total_n=0 k s
  echo
  printf '%-8s %7s %9s %5s %6s\n' folder killed survived n/a rate
  for f in core engine ops output io session view; do
    k=${killed[$f]:-0} s=${survived[$f]:-0}
    total_k=$((total_k + k)) total_s=$((total_s + s)) total_n=$((total_n + ${na[$f]:-0}))
    [ $((k + s + ${na[$f]:-0})) -gt 0 ] || continue
    printf '%-8s %7d %9d %5d %5s%%\n' "$f" "$k" "$s" "${na[$f]:-0}" \
      "$([ $((k + s)) -gt 0 ] && echo $((100 * k / (k + s))) || echo -)"
  done
  printf '%-8s %7d %9d %5d %5s%%\n' all "$total_k" "$total_s" "$total_n" \
    "$([ $((total_k + total_s)) -gt 0 ] && echo $((100 * total_k / (total_k + total_s))) || echo -)"
  echo
  echo "Survivors:"
  printf '%s\n' "${results[@]}" | grep ' survived ' || echo "  none"
}
summary
if [ -n "$report" ]; then
  { printf '%s\n' "${results[@]}"; summary; } >"$report"
fi
