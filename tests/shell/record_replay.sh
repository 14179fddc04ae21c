#!/bin/sh
# Records a real game in an X server of its own (xdotool turns, thrusts, fires and launches
# missiles for a few hundred frames), then replays the recording headless and in the window: both
# replays must pass every check and give the recorded run's state lines back. A cut recording
# replays to its last check, and SIGHUP leaves a stop line while a full disk is said once.
# usage: record_replay.sh FARWAKE FARWAKE_HEADLESS CHECK_FRAME_CRC(0|1)
# Exits 77 (skipped) when Xvfb or xdotool is missing.
game=$1
headless=$2
check_crc=${3:-0}
for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skipped: $tool is not installed"
        exit 77
    fi
done
[ -x "$game" ] && [ -x "$headless" ] || { echo "FAIL: no game at $game or $headless"; exit 1; }

fail_prefix="FAIL: "
. "$(dirname "$0")/../../tools/xvfb-session.sh"
echo "display $DISPLAY"

alive() { kill -0 "$gpid" 2>/dev/null; }
hold() { # hold keys for some seconds in one xdotool run
    secs=$1
    shift
    xdotool keydown "$@" sleep "$secs" keyup "$@"
}
lines() { [ -f "$1" ] && wc -l <"$1" || echo 0; }
hold_frames() { # hold keys for n more game frames of the recorded game (at most 30 s)
    n=$1
    shift
    want=$(($(lines "$work/real.jsonl") + n))
    xdotool keydown "$@"
    i=0
    while [ "$(lines "$work/real.jsonl")" -lt "$want" ] && [ $i -lt 300 ]; do
        i=$((i + 1))
        sleep 0.1
    done
    xdotool keyup "$@"
}
# The state lines without frame_crc while the two backends draw text differently.
comparable() {
    if [ "$check_crc" = 1 ]; then cat "$1"; else sed 's/,"frame_crc":[0-9]*//' "$1"; fi
}
# ---- record a game -----------------------------------------------------------------------
# Escape ends this game at once, as the game's own key in the recording (no question first).
mkdir -p "$XDG_CONFIG_HOME/farwake"
printf '[game]\nconfirm_quit = off\n' >"$XDG_CONFIG_HOME/farwake/settings.ini"
SDL_AUDIODRIVER=dummy "$game" --record "$work/game.rec" --state "$work/real.jsonl" \
    >"$work/game.log" 2>&1 &
gpid=$!
wait_game_window
sleep 1
# A short Escape leaves the title (a longer one would end the game at once); retried until the
# game's first state line shows that it runs.
tries=0
while [ "$(lines "$work/real.jsonl")" -eq 0 ]; do
    hold 0.1 Escape
    sleep 0.5
    tries=$((tries + 1))
    [ $tries -ge 5 ] && fail "Escape does not leave the title screen"
done
alive || fail "the game ended on the title's Escape"
hold_frames 60 Left Control_L
hold_frames 60 Up Alt_L
hold_frames 60 Right Up Control_L
hold_frames 50 Tab Alt_L Control_L
hold_frames 50 Left Up Control_L
# Escape ends the game and, held, the credits after their first frame.
hold 0.6 Escape
wait_game_end 20
[ "$status" -eq 0 ] || fail "the recording game exited with status $status: $(cat "$work/game.log")"
frames=$(lines "$work/real.jsonl")
echo "recorded $frames game frames"
[ "$frames" -ge 200 ] || fail "only $frames game frames were played"
for key in LEFT RIGHT UP LCONTROL LMENU TAB ESCAPE; do
    grep -q "^[0-9-]* .*\b$key\b" "$work/game.rec" || fail "no $key in the recording"
done
grep -q '"missiles":[1-9]' "$work/real.jsonl" || fail "no missile flew in the recorded game"
grep -q '"bullets":[1-9]' "$work/real.jsonl" || fail "no shot flew in the recorded game"
grep -q '^# end [0-9]*$' "$work/game.rec" || fail "the recording has no end line"
checks=$(grep -c '^# check ' "$work/game.rec")
[ "$checks" -ge 3 ] || fail "only $checks checks in the recording"

# ---- replay it headless ------------------------------------------------------------------
"$headless" --replay "$work/game.rec" --state "$work/headless.jsonl" >"$work/replay.log" 2>&1 ||
    fail "the headless replay failed: $(cat "$work/replay.log")"
grep -q "^replay matches ($checks checks)$" "$work/replay.log" ||
    fail "unexpected replay report: $(cat "$work/replay.log")"
comparable "$work/real.jsonl" >"$work/real.cmp"
comparable "$work/headless.jsonl" >"$work/headless.cmp"
cmp -s "$work/real.cmp" "$work/headless.cmp" ||
    fail "the headless replay's state lines differ: $(diff "$work/real.cmp" "$work/headless.cmp" | head -n 4)"
echo "headless replay: $(cat "$work/replay.log"), $frames state lines equal"

# ---- replay it in the window, at the normal pace -----------------------------------------
SDL_AUDIODRIVER=dummy "$game" --replay "$work/game.rec" --state "$work/window.jsonl" \
    >"$work/game.log" 2>&1 &
gpid=$!
wait_game_window
wait_game_end 60
[ "$status" -eq 0 ] || fail "the window replay exited with status $status: $(cat "$work/game.log")"
grep -q "^replay matches ($checks checks)$" "$work/game.log" ||
    fail "unexpected window replay report: $(cat "$work/game.log")"
cmp -s "$work/real.jsonl" "$work/window.jsonl" ||
    fail "the window replay's state lines differ: $(diff "$work/real.jsonl" "$work/window.jsonl" | head -n 4)"
echo "window replay: every state line equal, frame_crc included"

# Escape stops a replay in the window; a damaged recording is refused before any window opens.
SDL_AUDIODRIVER=dummy "$game" --replay "$work/game.rec" >"$work/game.log" 2>&1 &
gpid=$!
wait_game_window
sleep 3
hold 0.6 Escape
wait_game_end 20
[ "$status" -eq 0 ] || fail "the stopped replay exited with status $status: $(cat "$work/game.log")"
grep -q "^replay stopped with Escape" "$work/game.log" ||
    fail "no word of the stop: $(cat "$work/game.log")"
# A recording cut short (killed, a full disk) replays in the window up to its last check.
head -n 8 "$work/game.rec" >"$work/cut.rec"
SDL_AUDIODRIVER=dummy "$game" --replay "$work/cut.rec" >"$work/game.log" 2>&1 &
gpid=$!
wait_game_end 60
[ "$status" -eq 0 ] || fail "a cut recording gave status $status: $(cat "$work/game.log")"
grep -q "^replay matches up to read [0-9]* ([0-9]* checks); the recording stops there" \
    "$work/game.log" || fail "unclear cut replay report: $(cat "$work/game.log")"
echo "Escape stops a window replay; a cut recording replays: $(cat "$work/game.log")"

# A closed terminal (SIGHUP) ends a recording game the normal way, with a stop line that
# replays; a state log on a full device is said once and the game plays on without it.
SDL_AUDIODRIVER=dummy "$game" --record "$work/hup.rec" --state /dev/full >"$work/game.log" 2>&1 &
gpid=$!
wait_game_window
sleep 1
hold 0.1 Escape
i=0
while [ "$(grep -c '^# check' "$work/hup.rec")" -lt 2 ] && [ $i -lt 300 ]; do
    i=$((i + 1))
    sleep 0.1
done
alive || fail "the game ended after its state log failed: $(cat "$work/game.log")"
kill -HUP "$gpid"
wait_game_end 20
[ "$status" -eq 1 ] || fail "the game with a lost log exited with status $status"
[ "$(grep -c 'cannot write /dev/full: No space left on device' "$work/game.log")" -eq 1 ] ||
    fail "the lost log was not said once: $(cat "$work/game.log")"
tail -n 1 "$work/hup.rec" | grep -q '^# stopped by signal 1 after read [0-9]*$' ||
    fail "no stop line: $(tail -n 1 "$work/hup.rec")"
"$headless" --replay "$work/hup.rec" >"$work/replay.log" 2>&1 ||
    fail "the stopped recording does not replay: $(cat "$work/replay.log")"
echo "SIGHUP: $(tail -n 1 "$work/hup.rec"); $(tr '\n' ' ' <"$work/replay.log")"
exit 0
