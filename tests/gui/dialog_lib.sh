# For the GUI tests that drive the program by keys and dialogs only: the
# window test's scratch folder and polling, a log of the information line,
# and helpers that wait for dialogs and texts. Source it after setting
# `velk`.
source "$(dirname "$0")/view_lib.sh"
export VELK_INFO_LOG="$work/info.log"
: >"$VELK_INFO_LOG"

# Keys to a window, which gets the focus first (there is no window manager).
key() {
  xdotool windowfocus --sync "$1"
  shift
  xdotool key "$@"
}

# A menu of the root window by its title's and its entry's mnemonics.
menu() { key "$win" "alt+$1" "alt+$2"; }

# Waits for a shown window whose title matches, focuses it, prints its id.
wait_dialog() {
  local id
  id=$(await_window "$1") ||
    fail "no window titled $1"
  xdotool windowfocus --sync "$id"
  echo "$id"
}

wait_gone() {
  poll "[ -z \"\$(xdotool search --onlyvisible --name '$1' 2>/dev/null)\" ]" ||
    fail "window $1 stays open"
}

# Replaces the text of the focused field.
type_text() {
  key "$1" ctrl+a
  xdotool type --delay 5 "$2"
}

# The information line as last shown must match, with no action running
# (the running form ends in a percentage).
last_info() { tail -n1 "$VELK_INFO_LOG"; }
wait_info() {
  poll "last_info | grep -Eq -- '$1' && ! last_info | grep -q ')%'" ||
    fail "information line is '$(last_info)', expected $1"
}

# Answers a "Save as" dialog: the pattern by its index (0 global, 1 local,
# 2 summary, 4 PAF, 5 MAF) through "File F&ilter:", then the name through
# "&File Name:".
save_as() {
  local dialog
  dialog=$(wait_dialog '^Save (window )?as$')
  key "$dialog" alt+i Up Up Up Up Up Up
  for ((i = 0; i < $2; i++)); do xdotool key Down; done
  key "$dialog" alt+f
  type_text "$dialog" "$1"
  xdotool key Return
  wait_gone '^Save (window )?as$'
}

save_file() {
  menu f s
  save_as "$@"
}

# The program ends by itself with status 0.
wait_exit() {
  poll "! kill -0 $pid 2>/dev/null" || fail "the program did not end"
  local status=0
  wait "$pid" || status=$?
  pid=""
  [ "$status" -eq 0 ] || fail "exit status $status"
}

# Types the two names into the open input dialog and presses "&Ok"
# (from "&Ok" the focus moves on to the first file name field).
input_pair() {
  local dialog=$1
  key "$dialog" Tab Tab
  type_text "$dialog" "$2"
  key "$dialog" Tab Tab Tab Tab
  type_text "$dialog" "$3"
  key "$dialog" alt+o
}
