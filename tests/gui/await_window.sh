# await_window NAME [SECONDS]: prints the id of the first shown window whose
# title matches NAME, polling every 50 ms (default 20 s). A window that goes
# away in the middle of a search (a closing dialog, a splash) makes xdotool
# stop with BadWindow; a `search --sync` then fails the whole test, so each
# search here is simply tried again.
await_window() {
  local id deadline=$((SECONDS + ${2:-20}))
  while :; do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1) || id=""
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}
