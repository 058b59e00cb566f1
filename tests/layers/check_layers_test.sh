#!/usr/bin/env bash
# The layer check on small trees: what it must let through and what it must
# name. Usage: check_layers_test.sh CHECK_SCRIPT
set -uo pipefail
check=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

# tree FILE:TEXT... -> a fresh src/ holding those files
tree() {
  rm -rf "$tmp/src"
  for entry in "$@"; do
    mkdir -p "$tmp/$(dirname "${entry%%:*}")"
    printf '%b\n' "${entry#*:}" >"$tmp/${entry%%:*}"
  done
}
expect_pass() {
  local what=$1
  shift
  tree "$@"
  if ! out=$("$check" "$tmp" 2>&1); then
    echo "FAIL (refused): $what"$'\n'"$out"
    failures=$((failures + 1))
  fi
}
# expect_breach WHAT FILE:LINE FILES... : refused, naming that file and line
expect_breach() {
  local what=$1 where=$2
  shift 2
  tree "$@"
  if out=$("$check" "$tmp" 2>&1) || ! grep -q "^src/$where:" <<<"$out"; then
    echo "FAIL (not caught at src/$where): $what"$'\n'"$out"
    failures=$((failures + 1))
  fi
}

expect_pass "downward, own layer, beside the file, system headers, app on gui" \
  'src/core/a.h:#include <cstdint>' \
  'src/engine/b.cpp:#include "core/a.h"\n#include "engine/b.h"\n#include "b_internal.h"' \
  'src/view/v.h:// the toolkit stays out: fx.h' \
  'src/gui/w.cpp:#include <fx.h>\n#include <fxkeys.h>\n#include "view/v.h"\n#include "session/s.h"' \
  'src/app/main.cpp:#include "gui/w.h"\n#include "core/a.h"'
expect_breach "one layer up, on the third line" engine/b.cpp:3 \
  'src/core/a.h:' 'src/engine/b.cpp:#include "core/a.h"\n\n#include "ops/c.h"'
expect_breach "core reaching the session" core/x.cpp:1 'src/core/x.cpp:  #  include "session/s.h"'
expect_breach "session reaching the view" session/s.cpp:1 'src/session/s.cpp:#include "view/surface.h"'
expect_breach "the view reaching the front end" view/p.cpp:1 'src/view/p.cpp:#include "gui/w.h"'
expect_breach "gui reaching main" gui/w.cpp:1 'src/gui/w.cpp:#include "app/m.h"'
expect_breach "toolkit outside gui" view/p.cpp:2 'src/view/p.cpp:#include "view/v.h"\n#include <fx.h>'
expect_breach "toolkit class header outside gui" app/main.cpp:1 'src/app/main.cpp:#include "FXApp.h"'
expect_breach "toolkit key codes in the library" io/k.cpp:1 'src/io/k.cpp:#include <fox-1.6/fxkeys.h>'
expect_breach "a relative path around the check" ops/r.cpp:1 'src/ops/r.cpp:#include "../session/s.h"'
expect_breach "a folder that is no layer" misc/m.cpp:1 'src/misc/m.cpp:#include "core/a.h"'
expect_breach "an include from a folder that is no layer" output/o.cpp:1 \
  'src/output/o.cpp:#include "misc/m.h"'

[ $failures -eq 0 ] && echo "check-layers cases passed"
exit $((failures > 0))
