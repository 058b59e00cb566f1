# Shared by the GUI tests of the window: a scratch folder, the program
# started on a command file, screenshots and polling. Source it after
# setting `velk`.
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
here=$(cd "$(dirname "$0")" && pwd)
source "$here/await_window.sh"
velk=$(realpath "$velk")
data=$(cd "$here/../data" && pwd)
work=$(mktemp -d)
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -9 "$pid"; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  if [ -n "${VELK_KEEP_SHOT:-}" ] && [ -f "$work/shot.ppm" ]; then cp "$work/shot.ppm" "$VELK_KEEP_SHOT"; fi
  exit 1
}
cd "$work"
ln -s "$data" data
export HOME="$work" TMPDIR="$work"

# Starts the program on a command file and waits for its root window:
# sets pid, win, and the window's X, Y, WIDTH, HEIGHT.
start_velk() {
  "$velk" "$1" &
  pid=$!
  disown
  win=$(await_window '^Velk v1.4a$' 30) ||
    fail "no root window"
  xdotool windowfocus --sync "$win"
  geometry
}

# start_velk on the mitochondrial pair, with the command lines given after.
start_mito() {
  {
    printf 'start\ninput1 data/mito/MT-human.fa\ninput2 data/mito/MT-orang.fa\n'
    for line in "$@"; do echo "$line"; done
  } >mito.cmd
  start_velk mito.cmd
}

geometry() { eval "$(xdotool getwindowgeometry --shell "$win")"; }

shot() { import -window root -depth 8 "ppm:$work/shot.ppm"; }

# With VELK_SHOTS set to a folder, keeps a picture of the screen there.
keep_shot() { if [ -n "${VELK_SHOTS:-}" ]; then import -window root "$VELK_SHOTS/$1.png"; fi; }

# pixels.py on a fresh screenshot.
px() {
  shot
  python3 "$here/pixels.py" "$work/shot.ppm" "$@"
}

# Polls a shell condition every 50 ms for up to $2 seconds (default 15).
poll() {
  local cond=$1 deadline=$((SECONDS + ${2:-15}))
  while [ "$SECONDS" -lt "$deadline" ]; do
    if eval "$cond"; then return 0; fi
    sleep 0.05
  done
  eval "$cond"
}

# Waits until a box of the screen looks the same twice in a row, and
# prints its digest.
stable_hash() {
  local last="" now
  for ((i = 0; i < 60; i++)); do
    now=$(px hash "$@")
    if [ "$now" = "$last" ]; then
      echo "$now"
      return 0
    fi
    last=$now
    sleep 0.05
  done
  fail "the screen never settled"
}

# Clock ticks the program has used.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }

# True when the program uses (almost) no processor for a second.
idle() {
  local a b
  a=$(cpu_ticks)
  sleep 1
  b=$(cpu_ticks)
  [ $((b - a)) -le 5 ]
}

# The first visible window with this exact title.
find_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }

# The dot matrix's axis lines in window $1 (default the root), in screen
# coordinates: "x0 yTop xRight y0".
matrix_axes() {
  local w=${1:-$win} X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$w")"
  px axes "$X" "$Y" $((X + WIDTH - 1)) $((Y + HEIGHT - 1))
}

# Number of visible windows with this exact title.
visible_count() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l; }

# Waits for a window with this exact title, focuses it and prints its id.
focus_window() {
  local w title=$1
  poll '[ -n "$(find_window "$title")" ]' 10 || fail "no window titled '$title'"
  w=$(find_window "$title")
  xdotool windowfocus --sync "$w"
  echo "$w"
}
