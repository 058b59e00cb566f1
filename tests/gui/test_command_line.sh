#!/usr/bin/env bash
# The program's argument in the windowed program: a command file ending in
# "exit" runs without a window; one without "exit" leaves the root window
# open; an error shows its message box and then ends the program; a saved
# alignment opens in the root window.
set -euo pipefail
velk=${1:?usage: test_command_line.sh VELK_BINARY}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
data=$(cd "$(dirname "$0")/../data" && pwd)
source "$(dirname "$0")/await_window.sh"

work=$(mktemp -d)
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cd "$work"
ln -s "$data" data
export HOME="$work" TMPDIR="$work"

# Waits for the program started in the background and checks its status.
expect_exit() {
  local want=$1 what=$2 status=0
  for ((i = 0; i < 600; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  kill -0 "$pid" 2>/dev/null && fail "$what: still running"
  wait "$pid" || status=$?
  pid=""
  [ "$status" -eq "$want" ] || fail "$what: exit status $status, expected $want"
}

root_window() {
  await_window '^Velk v1.4a$'
}

cat >with_exit.cmd <<'CMD'
start
input1 data/small/human_577-2576.fa
input2 data/small/orang_1-2000.fa
align
save out.loc_align as Local
exit
CMD
"$velk" with_exit.cmd &
pid=$!
expect_exit 0 "command file with exit"
[ -s out.loc_align ] || fail "command file with exit: nothing saved"
[ ! -e .foxrc/Velk ] || fail "settings written although the root window was never closed"

# The saved alignment as the argument: it is opened in the root window.
"$velk" out.loc_align &
pid=$!
root_window >/dev/null || fail "saved alignment: no root window"
kill -INT "$pid"
expect_exit 0 "saved alignment"

# Without "exit" the root window stays open for interactive work.
head -n 5 with_exit.cmd >no_exit.cmd
"$velk" no_exit.cmd &
pid=$!
root_window >/dev/null || fail "command file without exit: no root window"
kill -INT "$pid"
expect_exit 0 "command file without exit"

# Unsaved changes: closing asks "Exit"; Cancel keeps the program (the
# settings are written anyway), No ends it and removes the journal files.
head -n 4 with_exit.cmd >unsaved.cmd
"$velk" unsaved.cmd &
pid=$!
root=$(root_window) || fail "unsaved changes: no root window"
ls "$work"/VelkUndo.* >/dev/null 2>&1 || fail "unsaved changes: no journal file"
kill -INT "$pid"
box=$(await_window '^Exit$') ||
  fail "unsaved changes: no question titled Exit"
xdotool windowfocus --sync "$box" key Escape
for ((i = 0; i < 200; i++)); do
  xdotool search --onlyvisible --name '^Exit$' >/dev/null 2>&1 || break
  sleep 0.05
done
[ -f .foxrc/Velk ] || fail "Cancel: settings not written"
xdotool search --onlyvisible --name '^Velk v1.4a$' >/dev/null || fail "Cancel: root window gone"
kill -0 "$pid" 2>/dev/null || fail "Cancel: program ended"
kill -INT "$pid"
box=$(await_window '^Exit$') ||
  fail "unsaved changes: no question on the second close"
xdotool windowfocus --sync "$box" key alt+n
expect_exit 0 "unsaved changes, answered No"
if ls "$work"/VelkUndo.* "$work"/VelkFoot.* >/dev/null 2>&1; then
  fail "journal files left after No"
fi

# An error: its message box first, then the program ends without a window.
printf 'start\ninput1 data/small/no_such_file.fa\ninput2 data/small/orang_1-2000.fa\nalign\n' >error.cmd
"$velk" error.cmd &
pid=$!
box=$(await_window '^Error$') ||
  fail "error: no message box titled Error"
xdotool windowfocus --sync "$box" key Return
expect_exit 1 "command file with an error"
echo "test_command_line: ok"
