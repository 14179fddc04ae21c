#!/bin/sh
# Latency of the headless display: from the keyboard read that sees a turn key to the first
# refresh whose picture shows the new heading, with smoothing on and off, at HZ (60).
# Thirty single-read taps of Right, 37 reads apart (so they fall at every phase of the refresh).
# usage: bench/scripts/present_latency.sh HEADLESS DATA_DIR [HZ]
set -e
tool=$1
data=$2
hz=${3:-60}
[ -x "$tool" ] && [ -d "$data" ] || { echo "usage: present_latency.sh HEADLESS DATA_DIR [HZ]"; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '0 ESCAPE\n' >"$work/keys"
read=100
while [ $read -lt 1200 ]; do
    echo "$read RIGHT" >>"$work/keys"
    read=$((read + 37))
done
for smooth in on off; do
    "$tool" --data "$data" --seed 5 --keys "$work/keys" --frames 1250 --refresh "$hz" \
        --smooth "$smooth" --presents "$work/$smooth.jsonl" --state "$work/$smooth.state"
done

# A game frame's read comes first in the frame, at its start: a picture of frame k drawn at
# share a of it is at t - 30 a, whichever the run (the clock is the same).
awk -v hz="$hz" '
function num(line, key,   i) {
    i = index(line, "\"" key "\": ")
    return substr(line, i + length(key) + 4) + 0
}
FILENAME ~ /state$/ {
    split($0, a, "\"read\":"); r = a[2] + 0
    split($0, b, "\"frame\":"); f = b[2] + 0
    if (r >= 100 && (r - 100) % 37 == 0) tap[f] = 1
    next
}
FILENAME ~ /on.jsonl$/ {
    f = num($0, "frame"); t = num($0, "t"); al = num($0, "alpha")
    if (!(f in start)) start[f] = t - 30 * al
    if (f in tap && !(f in on)) on[f] = t
    next
}
FILENAME ~ /off.jsonl$/ {
    f = num($0, "frame"); t = num($0, "t")
    if (f in tap && !(f in off)) off[f] = t
}
END {
    for (f in tap) {
        if (!(f in on) || !(f in off) || !(f in start)) continue
        n++; son += on[f] - start[f]; soff += off[f] - start[f]
        if (on[f] - start[f] > mon) mon = on[f] - start[f]
        if (off[f] - start[f] > moff) moff = off[f] - start[f]
    }
    printf "%d Hz, %d turns: smoothing on %.1f ms on average (at most %.1f), off %.1f ms (at most %.1f)\n",
        hz, n, son / n, mon, soff / n, moff
}' "$work/on.state" "$work/on.jsonl" "$work/off.jsonl"
