#!/bin/sh
# The hall of fame in a real window (Xvfb): with no game kept the right end of the title's key
# card band stays dark; once farwake-headless has kept a game in the same runs folder, the title
# shows "Best N" there; Enter on that game in the menu's "Best runs" page quits the game being
# played (kept as a quit) and watches the kept one to its end, verified. Exits 77 (skipped) when Xvfb, xdotool or xwd is missing.
# usage: hall_window.sh FARWAKE FARWAKE_HEADLESS XWD_BOX
game=$1 headless=$2 box=$3
for tool in Xvfb xdotool xwd; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skipped: $tool is not installed"
        exit 77
    fi
done
[ -x "$game" ] && [ -x "$headless" ] && [ -x "$box" ] || { echo "FAIL: no $game, $headless or $box"; exit 1; }

fail_prefix="FAIL: "
. "$(dirname "$0")/../../tools/xvfb-session.sh"
runs=$XDG_DATA_HOME/farwake/runs

# The lit pixels at the band's right end, where the best score goes, with the title up.
title_lit() {
    SDL_AUDIODRIVER=dummy "$game" >"$work/game.log" 2>&1 &
    gpid=$!
    wait_game_window
    sleep 1.5
    xwd -root -silent >"$work/$1.xwd" || fail "xwd could not take a picture"
    n=$("$box" --area 712 576 88 24 "$work/$1.xwd" | sed -n 's/.*lit=//p')
    kill -KILL "$gpid"
    wait "$gpid" 2>/dev/null
    gpid=
    [ -n "$n" ] || fail "cannot read the picture $1"
    echo "$n"
}

none=$(title_lit none) || exit 1
printf '0 ESCAPE\n2-100 LCONTROL\n101-400 LMENU\n' >"$work/keys.txt"
"$headless" --seed 1000 --keys "$work/keys.txt" --frames 400 --runs "$runs" >"$work/headless.log" 2>&1 ||
    fail "farwake-headless could not keep a run: $(cat "$work/headless.log")"
"$game" --scores | grep -q '^   1  ' || fail "farwake --scores lists no game: $("$game" --scores)"
best=$(title_lit best) || exit 1
echo "lit at the band's end: $none without a hall, $best with one"
[ "$best" -gt $((none + 60)) ] || fail "no best score on the title ($none, then $best lit pixels)"

# Title, F1, Down to "Best runs", Enter, Enter on the best game; Escape leaves the credits.
# (The killed runs above left files of their own.)
before=$(ls "$runs" | wc -l)
SDL_AUDIODRIVER=dummy "$game" --window >"$work/game.log" 2>&1 &
gpid=$!
wait_game_window
sleep 1.5
xdotool key Escape
sleep 1
for k in F1 Down Down Down Down Down Return Return; do
    xdotool key "$k"
    sleep 0.2
done
sleep 2
xdotool key Escape
wait_game_end 60
[ "$status" -eq 0 ] || fail "watching from the menu exited $status: $(cat "$work/game.log")"
grep -q '^game 1 matches (' "$work/game.log" || fail "the watched game was not verified: $(cat "$work/game.log")"
# The quit game was kept, and watching kept nothing.
kept=$(ls "$runs" | wc -l)
[ "$kept" -eq $((before + 1)) ] || fail "the runs folder holds $kept files, not $before and the quit game"
"$game" --scores | grep -q ' quit ' || fail "the quit game is not in the hall: $("$game" --scores)"
echo "PASS"
