#!/bin/sh
# The settings on a desktop (Xvfb with openbox), driven with xdotool: the window's title reads
# "farwake"; a settings file moving thrust to W makes W thrust and Up not (the keyboard trace
# shows the game's Up code), while its bad line is reported and the rest applies; the menu opens
# on F1 when paused and saves a volume change, and only it, through the file's link (to a dotfile
# folder), which stays a link; F11 there and back keeps a resized window's size, which is saved
# and given back at the next start; a failed save is said and makes the exit status 1; a recording
# made with the moved keys replays in farwake-headless. Exits 77 (skipped) when Xvfb, openbox,
# xdotool or xwininfo is missing.
# usage: settings_desktop.sh FARWAKE FARWAKE_HEADLESS
game=$1 headless=$2
[ -x "$game" ] && [ -x "$headless" ] || { echo "FAIL: no game at $game or $headless"; exit 1; }
for tool in Xvfb openbox xdotool xwininfo; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skipped: $tool is not installed (tools/deps.sh test installs it)"
        exit 77
    fi
done

fail_prefix="FAIL: "
screen=1280x1024
. "$(dirname "$0")/../../tools/xvfb-session.sh"
settings=$XDG_CONFIG_HOME/farwake/settings.ini

openbox --sm-disable >"$work/openbox.log" 2>&1 &
obpid=$!
trap 'cleanup; kill "$obpid" 2>/dev/null' EXIT
i=0
while ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    i=$((i + 1))
    [ $i -gt 100 ] && fail "openbox did not start: $(cat "$work/openbox.log")"
    sleep 0.1
done

alive() { kill -0 "$gpid" 2>/dev/null; }
hold() { # seconds, keys
    secs=$1
    shift
    xdotool keydown "$@" sleep "$secs" keyup "$@"
}
start() { # options... : starts the game and waits for its title's first keyboard read
    rm -f "$work/keys.trace"
    FARWAKE_KEY_TRACE="$work/keys.trace" SDL_AUDIODRIVER=dummy "$game" "$@" >"$work/game.log" 2>&1 &
    gpid=$!
    i=0
    while [ ! -e "$work/keys.trace" ] || ! xdotool search --pid "$gpid" >/dev/null 2>&1; do
        i=$((i + 1))
        alive || fail "the game ended before its title: $(tr "\n" " " <"$work/game.log")"
        [ $i -gt 200 ] && fail "no title 20 s after the start"
        sleep 0.1
    done
    wid=$(xdotool search --pid "$gpid" | head -n 1)
    xdotool windowactivate --sync "$wid" 2>/dev/null
    sleep 1
}
stop() { # closes the game as a desktop would and waits for status 0
    kill "$gpid"
    wait_game_end 30
    [ "$status" -eq 0 ] || fail "the game exited with status $status: $(cat "$work/game.log")"
}
trace_from() { # line: the trace's lines after that many
    tail -n +"$(($1 + 1))" "$work/keys.trace"
}
size() { # the game window's inner size, as WIDTHxHEIGHT
    xwininfo -id "$wid" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'
}
leave_title() { # Escape until the game reads its first frame's keys
    tries=0
    while ! grep -q " key 1\$" "$work/keys.trace"; do
        hold 0.1 Escape
        sleep 0.8
        tries=$((tries + 1))
        [ $tries -ge 3 ] && fail "Escape does not leave the title screen"
    done
    sleep 0.5
}
key() { # keys pressed one by one, with time between them for a loaded machine
    for k in "$@"; do
        xdotool key "$k"
        sleep 0.25
    done
}

# ---- a settings file with a bad line; the title's name --------------------------------------
mkdir -p "$(dirname "$settings")" "$work/dots"
printf '[sound]\nvolume = 400\n[keys]\nthrust = W\n' >"$work/dots/settings.ini"
ln -s "$work/dots/settings.ini" "$settings"
cp "$settings" "$work/original.ini"
start --window --record "$work/game.rec"
name=$(xdotool getwindowname "$wid")
[ "$name" = farwake ] || fail "the window's title is '$name', not farwake"
echo "the desktop names the window '$name'"
want="farwake: $settings line 2: 'volume' wants 0-100, not '400'"
grep -qxF "$want" "$work/game.log" || fail "no message for the bad line: $(cat "$work/game.log")"
echo "the bad line is reported: $want"

# ---- W thrusts, Up does not ----------------------------------------------------------------
leave_title
n=$(wc -l <"$work/keys.trace")
hold 0.6 w
sleep 0.3
trace_from "$n" | grep -q " key 200\$" || fail "a held W never reached the game as Up: $(trace_from "$n")"
n=$(wc -l <"$work/keys.trace")
hold 0.6 Up
sleep 0.3
[ -z "$(trace_from "$n")" ] || fail "Up still reaches the game: $(trace_from "$n")"
cmp -s "$settings" "$work/original.ini" || fail "the file was rewritten before any change"
echo "thrust = W: W gives the game Up, Up gives nothing; the file is untouched"

# ---- the menu on F1 when paused; a volume change is saved ------------------------------------
key p F1 Down Down Down Down Return Left
sleep 0.5
grep -qx "volume = 90" "$settings" || fail "the volume change was not saved: $(cat "$settings")"
grep -qx "thrust = W" "$settings" || fail "the file lost thrust = W: $(cat "$settings")"
! grep -q "fullscreen" "$settings" || fail "--window reached the file: $(cat "$settings")"
[ -L "$settings" ] || fail "the save put a file where the link to the dotfile folder was"
echo "the menu opened on F1 and saved volume = 90 through the link, keeping the rest"
key Escape Escape p
alive || fail "the game ended on leaving the menu"

# ---- F11 there and back keeps a resized window's size --------------------------------------
xdotool windowsize "$wid" 1000 700
sleep 1
before=$(size)
[ "$before" != "800x600" ] || fail "the window could not be resized"
key F11
sleep 1
[ "$(size)" != "$before" ] || fail "F11 did not make the window fullscreen"
key F11
sleep 1
after=$(size)
[ "$after" = "$before" ] || fail "F11 there and back gave $after, not $before"
echo "F11 there and back keeps the resized $before"
# Escape asks first; a second one ends the recorded game (and, held, the credits).
key Escape
sleep 0.5
alive || fail "the first Escape ended the game without asking"
hold 0.6 Escape
wait_game_end 30
[ "$status" -eq 0 ] || fail "the game exited with status $status: $(cat "$work/game.log")"
grep -qx "window_width = ${before%x*}" "$settings" && grep -qx "window_height = ${before#*x}" "$settings" ||
    fail "the window's size was not saved: $(cat "$settings")"
start --window
[ "$(size)" = "$before" ] || fail "the next start opened at $(size), not the saved $before"
echo "the next start opens at the saved $before"
stop

# ---- a save that fails is said and gives exit status 1 --------------------------------------
: >"$work/blocker"
start --window --settings "$work/blocker/settings.ini"
leave_title
key p F1 Down Down Down Down Return Left Escape Escape p
kill "$gpid"
wait_game_end 30
[ "$status" -eq 1 ] || fail "a failed save ended with status $status, not 1: $(cat "$work/game.log")"
want="farwake: cannot write $work/blocker/settings.ini: Not a directory"
grep -qxF "$want" "$work/game.log" || fail "no message for the failed save: $(cat "$work/game.log")"
echo "a failed save is said ($want) and the game exits 1"

# ---- the recording made with W for thrust replays headless ----------------------------------
"$headless" --replay "$work/game.rec" --state "$work/replay.jsonl" >"$work/replay.log" 2>&1 ||
    fail "the headless replay failed: $(cat "$work/replay.log")"
grep -q "^replay matches" "$work/replay.log" || fail "unexpected replay report: $(cat "$work/replay.log")"
grep -q '"engines_on":1' "$work/replay.jsonl" || fail "the replay never thrusts"
echo "the recording with moved keys replays headless: $(cat "$work/replay.log")"
