#!/usr/bin/env bash
# Escape during a long Align asks "Stop current action?"; Yes stops it and
# the window stays usable. The pair: 1 Mb of random bases and a copy with
# 12 % substitutions, aligned by a full scan (no word index).
velk=${1:?usage: test_view_stop.sh VELK_BINARY}
source "$(dirname "$0")/view_lib.sh"

python3 - <<'PY'
import random
r = random.Random(11)
a = [r.choice("ACGT") for _ in range(1000000)]
b = [r.choice("ACGT") if r.random() < 0.12 else c for c in a]
for name, s in (("long1.fa", a), ("long2.fa", b)):
    with open(name, "w") as f:
        f.write(">" + name + "\n")
        for i in range(0, len(s), 70):
            f.write("".join(s[i:i + 70]) + "\n")
PY
cat >long.cmd <<'CMD'
start
input1 long1.fa
input2 long2.fa
show
align nohash
CMD
start_velk long.cmd
poll '! idle' 10 || fail "Align is not running"

xdotool key Escape
poll '[ -n "$(find_window Caution)" ]' || fail "Escape did not ask to stop"
dialog=$(find_window Caution)
xdotool windowfocus --sync "$dialog"
xdotool key alt+y
poll '[ -z "$(find_window Caution)" ]' || fail "the question stayed"
poll idle 20 || fail "Align went on after Yes"
kill -0 "$pid" || fail "the program ended"
[ -n "$(find_window 'Velk v1.4a')" ] || fail "the root window went away"
echo "test_view_stop: ok"
