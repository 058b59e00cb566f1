#!/usr/bin/env bash
# run_case.sh VELK CASE_DIR: one end-to-end case; see README.md.
set -u
velk=$1
case_dir=$(cd "$2" && pwd)
data_dir=$(cd "$(dirname "$0")/../data" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for f in "$case_dir"/*; do
  [ "$(basename "$f")" = expected ] || cp -r "$f" "$work/"
done
ln -s "$data_dir" "$work/data"
cd "$work"
# A case may set variables (NAME=value, one a line) in a file "env".
extra=()
[ -f "$case_dir/env" ] && mapfile -t extra <"$case_dir/env"
env -u DISPLAY HOME="$work" "${extra[@]}" "$velk" --batch run.cmd >"$work/.stdout" 2>"$work/.stderr"
status=$?
want_status=0
[ -f "$case_dir/expected/status" ] && want_status=$(cat "$case_dir/expected/status")

if [ -n "${VELK_UPDATE_GOLDEN:-}" ]; then
  mkdir -p "$case_dir/expected"
  for f in "$case_dir"/expected/*; do
    [ -e "$f" ] || continue
    name=$(basename "$f")
    case $name in
    stderr) cp "$work/.stderr" "$f" ;;
    stdout) cp "$work/.stdout" "$f" ;;
    status) echo "$status" >"$f" ;;
    *) [ -f "$work/$name" ] && cp "$work/$name" "$f" ;;
    esac
  done
  echo "golden files of $(basename "$case_dir") updated"
  exit 0
fi

fail=0
# Every local alignment the run wrote must be what its rows say.
written=()
for f in "$work"/*.loc_align; do
  [ -e "$f" ] && [ ! -e "$case_dir/$(basename "$f")" ] && written+=("$f")
done
if [ ${#written[@]} -gt 0 ] && ! python3 "$(dirname "$0")/check_rows.py" "${written[@]}"; then
  fail=1
fi
if [ "$status" != "$want_status" ]; then
  echo "exit status $status, expected $want_status"
  fail=1
fi
for f in "$case_dir"/expected/*; do
  [ -e "$f" ] || continue
  name=$(basename "$f")
  case $name in
  status) ;;
  stderr | stdout)
    if ! cmp -s "$f" "$work/.$name"; then
      echo "$name differs:"
      diff "$f" "$work/.$name" | head -40
      fail=1
    fi
    ;;
  *)
    if [ ! -f "$work/$name" ]; then
      echo "missing output file $name"
      fail=1
    elif ! cmp -s "$f" "$work/$name"; then
      echo "output $name differs:"
      diff "$f" "$work/$name" | head -40
      fail=1
    fi
    ;;
  esac
done
if [ $fail -ne 0 ]; then
  echo "--- stderr ---"
  head -40 "$work/.stderr"
fi
exit $fail
