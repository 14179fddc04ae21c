#!/bin/sh
# Sound on a busy machine, side by side: the real game under PulseAudio (audio_latency.sh) while
# two busy loops per core run beside it, first with the stream held at its quiet-machine depth
# (PULSE_LATENCY_MSEC=18, as a player could set it), then as the game sets it itself, deepening
# the stream after underruns. Prints each run's audio stats and PulseAudio's underrun count.
# usage: bench/scripts/audio_under_load.sh [GAME] [SECONDS]   (60 s each by default)
game=${1:-build/farwake}
secs=${2:-60}
here=$(dirname "$0")
loops=""
trap 'for p in $loops; do kill "$p" 2>/dev/null; done' EXIT INT TERM
i=0
while [ $i -lt $((2 * $(nproc))) ]; do
    sh -c 'while :; do :; done' &
    loops="$loops $!"
    i=$((i + 1))
done
sleep 2
echo "== busy: $((2 * $(nproc))) loops on $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== stream held at 18 ms"
PULSE_LATENCY_MSEC=18 "$here/audio_latency.sh" "$game" "$secs"
echo "== stream deepened by the game after underruns"
"$here/audio_latency.sh" "$game" "$secs"
