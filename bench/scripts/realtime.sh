#!/bin/sh
# Plays the real game (SDL backend) in an X server of its own (800x600 unless SIZE says) for a
# while, holding keys,
# and reports the processor time it used as a share of one core over the played stretch, and the
# peak resident memory (VmHWM) at the end of that stretch.
# usage: bench/scripts/realtime.sh [GAME] [SECONDS] [SIZE]   (GAME defaults to build/farwake;
#        SIZE such as 1920x1080, where the picture fills the screen at 4:3)
# FW_ARGS adds options to the game's command line (such as "--smooth off").
# Needs Xvfb and xdotool. Sound goes to SDL's dummy driver unless SDL_AUDIODRIVER says otherwise.
game=${1:-build/farwake}
secs=${2:-20}
screen=${3:-800x600}
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null 2>&1 || { echo "realtime: $tool is not installed"; exit 1; }
done
[ -x "$game" ] || { echo "realtime: no game at $game"; exit 1; }

fail_prefix="realtime: "
. "$(dirname "$0")/../../tools/xvfb-session.sh"

# shellcheck disable=SC2086 # FW_ARGS is split into options on purpose
SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} "$game" $FW_ARGS >"$work/game.log" 2>&1 &
gpid=$!
wait_game_window
sleep 1

# Leave the title with a short press, then settle into the game.
xdotool keydown Escape sleep 0.1 keyup Escape
sleep 1
kill -0 "$gpid" 2>/dev/null || fail "the game ended on the title's Escape"

# utime + stime in clock ticks (fields 14 and 15 after the parenthesised name).
ticks() { sed 's/.*) //' "/proc/$gpid/stat" | awk '{print $12 + $13}'; }
hz=$(getconf CLK_TCK)
t0=$(ticks)
s0=$(date +%s%N)
# Thrust and fire the whole time, turning now and then, with an afterburner burst and missiles.
xdotool keydown Up Control_L
played=0
while [ "$played" -lt "$secs" ]; do
    case $((played % 5)) in
    0) xdotool keydown Right sleep 1 keyup Right ;;
    2) xdotool keydown Tab Alt_L sleep 1 keyup Tab Alt_L ;;
    *) sleep 1 ;;
    esac
    played=$((played + 1))
done
xdotool keyup Up Control_L
t1=$(ticks)
s1=$(date +%s%N)
kill -0 "$gpid" 2>/dev/null || fail "the game ended while playing"
hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$gpid/status")
rss=$(awk '/^VmRSS/ {print $2}' "/proc/$gpid/status")

awk -v dt="$((t1 - t0))" -v hz="$hz" -v ns="$((s1 - s0))" -v hwm="$hwm" -v rss="$rss" 'BEGIN {
    wall = ns / 1e9
    printf "played %.1f s: processor %.2f s = %.1f %% of one core\n", wall, dt / hz, 100 * dt / hz / wall
    printf "peak resident memory (VmHWM) %.1f MiB, resident now %.1f MiB\n", hwm / 1024, rss / 1024
}'

# End the game and leave the credits the way a player does.
xdotool keydown Escape sleep 0.1 keyup Escape
sleep 1
xdotool keydown Escape sleep 0.1 keyup Escape
i=0
while kill -0 "$gpid" 2>/dev/null && [ $i -lt 50 ]; do
    i=$((i + 1))
    sleep 0.1
done
