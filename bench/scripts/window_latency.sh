#!/bin/sh
# Latency in the real window (SDL, an X server of its own): from the keyboard read that sees a
# tap of Right to the first picture that leaves after it (the heading is drawn as that frame has
# it), from the game's own traces: FARWAKE_KEY_TRACE gives the read, --state maps reads to game
# frames, FARWAKE_PRESENT_TRACE gives when each frame began and each picture left (whole ms).
# usage: bench/scripts/window_latency.sh GAME [OPTIONS...]   (e.g. --smooth off)
# Needs Xvfb and xdotool; run it in the data folder.
game=$1
shift
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null 2>&1 || { echo "window_latency: $tool is not installed"; exit 1; }
done
[ -x "$game" ] || { echo "window_latency: no game at $game"; exit 1; }
fail_prefix="window_latency: "
. "$(dirname "$0")/../../tools/xvfb-session.sh"

FARWAKE_KEY_TRACE="$work/keys" FARWAKE_PRESENT_TRACE="$work/presents" SDL_AUDIODRIVER=dummy \
    "$game" --window --state "$work/state" "$@" >"$work/game.log" 2>&1 &
gpid=$!
wait_game_window
sleep 1
xdotool keydown Escape sleep 0.1 keyup Escape
sleep 1
# Thirty taps of Right, 0.37 s apart, so they land at every phase of the frame and the refresh.
n=0
while [ $n -lt 30 ]; do
    xdotool keydown Right sleep 0.05 keyup Right sleep 0.32
    n=$((n + 1))
done
xdotool keydown Escape sleep 0.1 keyup Escape
sleep 1
xdotool keydown Escape sleep 0.1 keyup Escape
wait_game_end "$gpid" 2>/dev/null || sleep 2

# Right is scan code 205. Trace lines: "frame F start S flipped T[ shown]" ("shown": the frame's
# own flip showed its picture) and "frame F shown T" (a scheduled picture left).
awk '
function add(v) { lat[++n] = v; sum += v }
FILENAME ~ /keys$/ { if ($4 == 205) tap[$2] = 1; next }
FILENAME ~ /state$/ {
    split($0, a, "\"read\":"); split($0, b, "\"frame\":")
    if ((a[2] + 0) in tap) frame[b[2] + 0] = 1
    next
}
$3 == "start" {
    start[$2] = $4
    if ($7 == "shown" && ($2 in frame)) add($6 - $4)
    next
}
$3 == "shown" && ($2 in frame) && !($2 in seen) { seen[$2] = 1; add($4 - start[$2]) }
END {
    if (!n) { print "window_latency: no tap was seen"; exit 1 }
    for (i = 2; i <= n; i++) for (j = i; j > 1 && lat[j] < lat[j - 1]; j--) {
        t = lat[j]; lat[j] = lat[j - 1]; lat[j - 1] = t
    }
    printf "%d taps: from the read to the first picture %.1f ms on average, median %d, at most %d\n",
        n, sum / n, lat[int((n + 1) / 2)], lat[n]
}' "$work/keys" "$work/state" "$work/presents"
