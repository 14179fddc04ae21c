#!/bin/sh
# Sound latency and underruns of the real game under PulseAudio: starts a private PulseAudio with
# a null sink, plays the game in Xvfb with bench/scripts/realtime.sh, and prints the gaps between
# the device's pulls (FARWAKE_AUDIO_STATS) and the underruns PulseAudio logged meanwhile. A sound
# made by a frame leaves the program at the next pull: typically half a gap, at worst the largest.
# Underruns at the stream's close are counted apart.
# usage: bench/scripts/audio_latency.sh [GAME] [SECONDS]   (tools/deps.sh bench installs PulseAudio)
game=${1:-build/farwake}
secs=${2:-60}
command -v pulseaudio >/dev/null 2>&1 || { echo "audio_latency: pulseaudio is not installed"; exit 1; }
work=$(mktemp -d)
HOME=$work XDG_RUNTIME_DIR=$work pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --use-pid-file=no --load="module-null-sink sink_name=null" \
    --load="module-native-protocol-unix socket=$work/native auth-anonymous=1" \
    --log-level=debug --log-time=true --log-target="file:$work/pulse.log" >/dev/null 2>&1 &
pulse=$!
trap 'kill $pulse 2>/dev/null; wait $pulse 2>/dev/null; rm -rf "$work"' EXIT
i=0
while [ ! -S "$work/native" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
PULSE_SERVER=unix:$work/native SDL_AUDIODRIVER=pulseaudio FARWAKE_AUDIO_STATS=$work/stats \
    "$(dirname "$0")/realtime.sh" "$game" "$secs"
cat "$work/stats" 2>/dev/null || echo "audio_latency: the game wrote no pull figures"
# The log's lines start with seconds since the server started. The stream's close shows as one
# underrun just before the stream is freed (the device thread has stopped, the stream is not yet
# gone): it is counted apart from those while the game plays.
awk -F'[(|]' '
    /Implicit underrun/ { t[n++] = $2 + 0 }
    /Freeing input/ { freed = $2 + 0 }
    /Created input/ { opened = $2 + 0 }
    END {
        playing = 0
        late = 0
        for (i = 0; i < n; i++) {
            p = !freed || t[i] < freed - 0.5
            playing += p
            late += p && t[i] > opened + 0.5
        }
        printf "underruns logged by PulseAudio: %d, %d while the game played, %d at the stream'"'"'s close\n", n, playing, n - playing
        printf "of those while playing, %d after the stream was last opened (at %.1f s)\n", late, opened
    }' "$work/pulse.log"
