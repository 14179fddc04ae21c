#!/bin/sh
# Plays the real game in an X server of its own: Escape on the title, thrust and fire, a picture
# of the flight (not black, the score line shown), Escape asking before it ends the game, Space
# playing on, Escape twice to end the game, Escape on the credits,
# and a clean exit with status 0. Exits 77 (skipped) when Xvfb, xdotool or xwd is missing.
game=$1
stats=$2
for tool in Xvfb xdotool xwd; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skipped: $tool is not installed"
        exit 77
    fi
done
[ -x "$game" ] && [ -x "$stats" ] || { echo "no game at $game or no $stats"; exit 1; }

fail_prefix="FAIL: "
. "$(dirname "$0")/../../tools/xvfb-session.sh"
echo "display $DISPLAY"

SDL_AUDIODRIVER=dummy "$game" >"$work/game.log" 2>&1 &
gpid=$!

alive() { kill -0 "$gpid" 2>/dev/null; }
hold() { # hold keys for some seconds; one xdotool run, so the time held is what was asked
    secs=$1
    shift
    xdotool keydown "$@" sleep "$secs" keyup "$@"
}
shot() { # name -> prints the picture's counts
    xwd -root -silent >"$work/$1.xwd" || fail "xwd could not take a picture"
    "$stats" "$work/$1.xwd" || fail "cannot read the picture $1"
}
value() { # key line -> number
    echo "$2" | tr ' ' '\n' | sed -n "s/^$1=//p"
}

# The window appears once the game has set itself up and shows the title.
wait_game_window
sleep 1.5
title=$(shot title)
echo "title: $title"
[ "$(value lit "$title")" -gt 20000 ] || fail "the title screen is black"

# Leave the title with a short press: a key still down 200 ms later would end the game at once.
# A press too short for a slow machine to see is tried again.
tries=0
while :; do
    hold 0.1 Escape
    sleep 0.8
    alive || fail "the game ended on the title's Escape"
    now=$(shot after_title)
    [ "$(value score_cyan "$now")" -gt 20 ] && break
    [ "$(value caption_red "$now")" -gt 30 ] && fail "the title's Escape ended the game"
    tries=$((tries + 1))
    [ $tries -ge 3 ] && fail "Escape does not leave the title screen"
done
hold 1.2 Up Control_L
flight=$(shot flight)
echo "flight: $flight"
[ "$(value lit "$flight")" -gt 200 ] || fail "the flight picture is black"
[ "$(value score_cyan "$flight")" -gt 20 ] || fail "no score line in the flight picture"

# Escape asks first: the game stops, dimmed under the question, and plays on after another key.
hold 0.05 Escape
sleep 0.8
alive || fail "the first Escape ended the game without asking"
asked=$(shot asked)
echo "asked: $asked"
[ "$(value score_cyan "$asked")" -lt 20 ] || fail "the game still runs bright under the question"
[ "$(value pause_white "$asked")" -gt 30 ] || fail "no question over the picture ($asked)"
hold 0.05 space
sleep 0.8
[ "$(value score_cyan "$(shot played_on)")" -gt 20 ] || fail "another key did not play on"
echo "the first Escape asked; Space played on"
# Escape then Escape ends the game; the credits follow (unless the key was still down when they
# began, which ends them at once) and Escape ends them too.
tries=0
while :; do
    hold 0.05 Escape
    sleep 0.5
    hold 0.05 Escape
    sleep 1.2
    alive || break
    now=$(shot after_game)
    [ "$(value score_cyan "$now")" -gt 20 ] || break
    tries=$((tries + 1))
    [ $tries -ge 3 ] && fail "Escape does not end the game"
done
if alive; then
    credits=$(shot credits)
    echo "credits: $credits"
    [ "$(value lit "$credits")" -gt 20000 ] || fail "the credits screen is black"
    [ "$(value caption_red "$credits")" -gt 30 ] || fail "no credits caption on the screen"
    [ "$(value score_cyan "$credits")" -lt 20 ] || fail "the game is still running after Escape"
    hold 0.2 Escape
else
    echo "the credits ended at once: Escape was still down when they began"
fi
wait_game_end 10
[ "$status" -eq 0 ] || fail "the game exited with status $status: $(cat "$work/game.log")"
echo "the game ended with status 0"
exit 0
