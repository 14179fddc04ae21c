#!/bin/sh
# The same game on Linux and on Windows: runs this system's farwake-headless and the Windows one
# (under Wine) over seeded games of varied keys, with the same data, and compares their state
# and entity lines (frame_crc included) byte for byte; then replays each side's recording on the
# other, every check matching.
# usage: tests/windows/identity.sh HOST_HEADLESS WINDOWS_HEADLESS DATA_DIR OUT_DIR SEEDS FRAMES
set -eu
host=$1 win=$2 data=$3 out=$4 seeds=$5 frames=$6
wine=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
mkdir -p "$out"
fail() { echo "FAIL: $*"; exit 1; }

# Keys for seed s: leave the title, then spans of turns, thrust, afterburner, fire and missiles
# that differ from seed to seed (a small linear congruential walk, the same on every system).
keys_for() { # seed frames file
    awk -v s="$1" -v n="$2" 'BEGIN {
        print "0 ESCAPE"
        split("LEFT RIGHT UP LCONTROL LMENU TAB UP LCONTROL", k, " ")
        x = s % 65536; f = 5
        while (f < n - 40) {
            x = (x * 25173 + 13849) % 65536; len = 10 + x % 90
            x = (x * 25173 + 13849) % 65536; a = k[1 + x % 8]
            x = (x * 25173 + 13849) % 65536; b = k[1 + x % 8]
            print f "-" (f + len) " " a (a == b ? "" : " " b)
            f += len + x % 30
        }
    }' >"$3"
}

for seed in $seeds; do
    keys=$out/seed$seed.keys
    keys_for "$seed" "$frames" "$keys"
    for side in linux windows; do
        set -- --data "$data" --seed "$seed" --frames "$frames" --keys "$keys" \
            --state "$out/$side-$seed.state" --entities "$out/$side-$seed.entities" \
            --record "$out/$side-$seed.rec"
        if [ $side = linux ]; then "$host" "$@"; else "$wine" "$win" "$@"; fi \
            >"$out/$side-$seed.log" 2>&1 || fail "seed $seed: the $side game failed: $(cat "$out/$side-$seed.log")"
    done
    for f in state entities rec; do
        cmp -s "$out/linux-$seed.$f" "$out/windows-$seed.$f" ||
            fail "seed $seed: the $f files differ ($(cmp "$out/linux-$seed.$f" "$out/windows-$seed.$f" 2>&1 | head -1))"
    done
    [ -s "$out/linux-$seed.state" ] || fail "seed $seed: no state lines"
    grep -q frame_crc "$out/linux-$seed.state" || fail "seed $seed: no frame_crc in the state lines"
    # Each side replays the other's recording.
    "$host" --data "$data" --replay "$out/windows-$seed.rec" >"$out/replay-linux-$seed.log" 2>&1 ||
        fail "seed $seed: Linux does not replay the Windows recording: $(cat "$out/replay-linux-$seed.log")"
    "$wine" "$win" --data "$data" --replay "$out/linux-$seed.rec" >"$out/replay-windows-$seed.log" 2>&1 ||
        fail "seed $seed: Windows does not replay the Linux recording: $(cat "$out/replay-windows-$seed.log")"
    echo "seed $seed: $frames frames, state and entity lines and recordings identical, replayed both ways"
done
