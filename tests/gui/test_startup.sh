#!/usr/bin/env bash
# Start-up and shut-down of the windowed program: the root window appears
# with its title and size, the interrupt signal closes it like the Close
# command, the settings land in the registry file and no temporary file of
# the session is left behind.
set -euo pipefail
velk=${1:?usage: test_startup.sh VELK_BINARY}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
source "$(dirname "$0")/await_window.sh"

work=$(mktemp -d)
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/home" "$work/tmp"
HOME="$work/home" TMPDIR="$work/tmp" "$velk" &
pid=$!

window=$(await_window '^Velk v1.4a$') ||
  fail "no visible window titled 'Velk v1.4a'"
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" -eq 900 ] && [ "$HEIGHT" -eq 700 ] || fail "window is ${WIDTH}x${HEIGHT}, not 900x700"
if [ -n "${VELK_SCREENSHOT:-}" ]; then
  import -window root "$VELK_SCREENSHOT"
fi

# Only the root window is shown at start-up.
shown=$(xdotool search --onlyvisible --name '^Velk v1.4a$' | wc -l)
[ "$shown" -eq 1 ] || fail "$shown windows shown at start-up"

kill -INT "$pid"
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || fail "exit status $status after SIGINT"

rc="$work/home/.foxrc/Velk"
[ -f "$rc" ] || fail "no registry file $rc"
grep -qx '\[SETTINGS\]' "$rc" || fail "no [SETTINGS] section in $rc"
for key in Working_directory Flanks_length Save_filter Dir_filter; do
  grep -q "^$key=" "$rc" || fail "no $key in $rc"
done
grep -qx 'Save_filter=1' "$rc" || fail "Save_filter is not the default 1"
grep -qx 'Flanks_length=0' "$rc" || fail "Flanks_length is not the default 0"

left=$(find "$work/tmp" -name 'VelkUndo*' -o -name 'VelkFoot*')
[ -z "$left" ] || fail "temporary files left: $left"

# A second run reads the stored values back and writes them unchanged.
sed -i 's/^Flanks_length=.*/Flanks_length=17/; s/^Save_filter=.*/Save_filter=2/' "$rc"
HOME="$work/home" TMPDIR="$work/tmp" "$velk" &
pid=$!
await_window '^Velk v1.4a$' >/dev/null ||
  fail "no window on the second run"
kill -INT "$pid"
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || fail "exit status $status after SIGINT (second run)"
grep -qx 'Flanks_length=17' "$rc" || fail "Flanks_length not kept: $(cat "$rc")"
grep -qx 'Save_filter=2' "$rc" || fail "Save_filter not kept"
echo "test_startup: ok"
