#!/bin/sh
# Plays a recorded game in a native Wayland window (SDL_VIDEODRIVER=wayland, no X display for the
# game, and no GPU device where the machine has none) under a weston of its own: the window must
# open, the replay must match its checks and give the headless replay's state lines. Exits 77
# (skipped, with one line) when weston or Xvfb is missing or weston cannot start here.
# usage: wayland.sh FARWAKE FARWAKE_HEADLESS KEYS
game=$1
headless=$2
keys=$3
command -v weston >/dev/null 2>&1 || { echo "skipped: weston is not installed"; exit 77; }
[ -x "$game" ] && [ -x "$headless" ] || { echo "FAIL: no game at $game or $headless"; exit 1; }

command -v Xvfb >/dev/null 2>&1 || { echo "skipped: Xvfb is not installed"; exit 77; }

# Weston draws its output into an X window of an Xvfb of this test's own (its headless backend
# has no seat, which SDL 2.26's Wayland driver does not survive); the game talks Wayland only.
fail_prefix="FAIL: "
screen=1280x900
. "$(dirname "$0")/../../tools/xvfb-session.sh"
wpid=
# Every way out stops what this test started: a game stuck in its window ignores the quit that
# SIGTERM becomes inside SDL, so it is killed outright; ctest's time limit arrives as SIGTERM.
stop_weston() {
    [ -n "$gpid" ] && kill -KILL "$gpid" 2>/dev/null
    [ -n "$wpid" ] && kill "$wpid" 2>/dev/null
    cleanup
}
trap stop_weston EXIT
trap 'exit 143' TERM
trap 'exit 130' INT
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run"
# Weston 10 names the backend by its module, later versions by a word.
for backend in x11-backend.so x11; do
    weston --backend="$backend" --socket=fw-test --width=1024 --height=768 --idle-time=0 \
        >"$work/weston.log" 2>&1 &
    wpid=$!
    i=0
    while [ ! -S "$work/run/fw-test" ] && kill -0 "$wpid" 2>/dev/null && [ $i -lt 100 ]; do
        i=$((i + 1))
        sleep 0.1
    done
    [ -S "$work/run/fw-test" ] && break
    kill "$wpid" 2>/dev/null
    wait "$wpid" 2>/dev/null
    wpid=
done
if [ -z "$wpid" ]; then
    echo "skipped: weston cannot start here: $(grep -i -m 1 -E 'fatal|error' "$work/weston.log")"
    exit 77
fi
echo "weston $(weston --version 2>&1 | sed 's/^weston //'), socket fw-test"

timeout -k 5 60 "$headless" --keys "$keys" --frames 120 --record "$work/game.rec" --state "$work/headless.jsonl" \
    >"$work/record.log" 2>&1 || fail "the headless recording failed: $(cat "$work/record.log")"
checks=$(grep -c '^# check ' "$work/game.rec")

# No X display and (where the machine has one) no GPU device: what a virtual machine or a
# remote session gives. The picture goes through whichever renderer SDL can open.
env -u DISPLAY WAYLAND_DISPLAY=fw-test SDL_VIDEODRIVER=wayland SDL_AUDIODRIVER=dummy \
    "$game" --window --replay "$work/game.rec" --state "$work/window.jsonl" \
    >"$work/game.log" 2>&1 &
gpid=$!
# The replay takes a few seconds; the bound keeps the whole test inside ctest's limit.
wait_game_end 90
[ "$status" -eq 0 ] || fail "the game exited with status $status: $(cat "$work/game.log")"
grep -q "^replay matches ($checks checks)$" "$work/game.log" ||
    fail "unexpected replay report: $(cat "$work/game.log")"
sed 's/,"frame_crc":[0-9]*//' "$work/headless.jsonl" >"$work/headless.cmp"
sed 's/,"frame_crc":[0-9]*//' "$work/window.jsonl" >"$work/window.cmp"
cmp -s "$work/headless.cmp" "$work/window.cmp" ||
    fail "the Wayland replay's state lines differ: $(diff "$work/headless.cmp" "$work/window.cmp" | head -n 4)"
echo "Wayland replay: $(wc -l <"$work/window.jsonl") state lines as the headless game's, $checks checks"
exit 0
