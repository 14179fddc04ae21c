#!/bin/sh
# Loudness of the game's sound in play: runs farwake-headless over a played key script (thrust,
# gun, turns, afterburner, missiles, kills) with its sound captured, and prints the mix's RMS and
# peak level in dBFS. Given two builds, prints them side by side (before, after).
# usage: bench/scripts/loudness.sh HEADLESS DATA_DIR [HEADLESS2 DATA_DIR2] [FRAMES]
set -e
[ $# -ge 2 ] && [ -x "$1" ] && [ -d "$2" ] || {
    echo "usage: loudness.sh HEADLESS DATA_DIR [HEADLESS2 DATA_DIR2] [FRAMES]" >&2
    exit 2
}
command -v od >/dev/null && command -v awk >/dev/null || { echo "loudness.sh: needs od and awk" >&2; exit 2; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cat >"$out/play.keys" <<'KEYS'
0 ESCAPE
3-3000 UP LCONTROL
40-90 RIGHT
200-260 TAB LMENU
600-650 LEFT
900-1000 LEFT LMENU
1400-1450 RIGHT TAB
2000-2100 LMENU
KEYS

# level FILE: "rms R dBFS, peak P dBFS" of a 16-bit stereo capture (its 44-byte header skipped).
level() {
    head=$(od -An -c -N 4 "$1" | tr -d ' ')
    bits=$(od -An -tu2 -j 34 -N 2 "$1" | tr -d ' ')
    [ "$head" = "RIFF" ] && [ "$bits" = 16 ] || { echo "not a 16-bit capture: $1" >&2; return 1; }
    od -An -v -td2 -w2 -j 44 "$1" | awk '
        { v = $1 + 0; s += v * v; n++; if (v < 0) v = -v; if (v > p) p = v }
        END {
            if (n == 0 || s == 0) { print "silence"; exit }
            printf "rms %6.1f dBFS, peak %5.1f dBFS", 10 * log(s / n / 32768 / 32768) / log(10),
                   20 * log(p / 32768) / log(10)
        }'
}

measure() { # tool data frames -> one line
    "$1" --data "$2" --seed 1000 --keys "$out/play.keys" --frames "$3" --audio "$out/a.wav" >/dev/null
    level "$out/a.wav"
}

if [ $# -ge 4 ] && [ -x "$3" ] && [ -d "$4" ]; then
    frames=${5:-3000}
    echo "before: $(measure "$1" "$2" "$frames")"
    echo "after:  $(measure "$3" "$4" "$frames")"
else
    echo "$(measure "$1" "$2" "${3:-3000}")"
fi
