#!/bin/bash
# The browser build's processor time beside the desktop game's on the same game, both at the
# game's pace, in turns: the desktop farwake replaying a recording under Xvfb (with SDL's dummy
# sound driver, so the mixer still runs) and the page playing the recorded seed and keys in
# headless Chromium (its renderer process), and another page (an older build) when given.
# Prints each run and the median ratios.
# usage: bench/scripts/web_cpu.sh NATIVE_BUILD [RUNS] [FRAMES] [OTHER_PAGE_DIR[?QUERY]]
# (bench/web_floor is a page with no game in it, Chromium's own cost: its comment lists queries)
# (the page from build-web/page, and build-web/browser-test from tests/web/browser.sh)
set -u
cd "$(dirname "$0")/../.."
native=${1:-build-ci} runs=${2:-3} frames=${3:-1000} other=${4:-} seed=4242
fail_prefix="web_cpu: "
. tools/xvfb-session.sh
# A busy game: thrust and fire throughout, with turns, afterburner and missiles.
printf '0 ESCAPE\n1-2000000 UP LCONTROL\n40-90 RIGHT\n200-260 TAB LMENU\n900-1000 LEFT LMENU\n' \
    >"$work/keys"
"$native/farwake-headless" --data "$native" --seed $seed --keys "$work/keys" --frames "$frames" \
    --record "$work/rec" >/dev/null || fail "cannot record"
# The X server draws the desktop's pictures: its processor time counts with the game's.
xserver_ticks() { awk '{print $14 + $15}' "/proc/$xpid/stat"; }
page_cpu() {
    local dir=${1%%\?*} query=
    [ "$dir" != "$1" ] && query=${1#*\?}
    NODE_PATH=/usr/share/nodejs node bench/scripts/web_cpu.mjs "$dir" "$work/keys" $seed "$frames" \
        build-web/browser-test/node_modules "$query"
}
: >"$work/ratios"
: >"$work/other"
: >"$work/withx"
for i in $(seq "$runs"); do
    x0=$(xserver_ticks)
    /usr/bin/time -f "%U %S" -o "$work/t" env SDL_AUDIODRIVER=dummy \
        "$native/farwake" --replay "$work/rec" >/dev/null 2>&1
    x1=$(xserver_ticks)
    desk=$(awk '{printf "%.2f", $1 + $2}' "$work/t")
    xs=$(awk -v a="$x0" -v b="$x1" 'BEGIN {printf "%.2f", (b - a) / 100}')
    read -r web webframes < <(page_cpu build-web/page)
    line="run $i: desktop $desk s (+ X server $xs s), page renderer $web s ($webframes pictures)"
    awk -v d="$desk" -v w="$web" 'BEGIN {printf "%.2f\n", w / d}' >>"$work/ratios"
    awk -v d="$desk" -v x="$xs" -v w="$web" 'BEGIN {printf "%.2f\n", w / (d + x)}' >>"$work/withx"
    if [ -n "$other" ]; then
        read -r old oldframes < <(page_cpu "$other")
        line="$line, other page $old s ($oldframes pictures)"
        awk -v d="$desk" -v w="$old" 'BEGIN {printf "%.2f\n", w / d}' >>"$work/other"
    fi
    echo "$line"
done
median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
echo "page/desktop processor time, median of $runs: x$(median <"$work/ratios")"
echo "page/(desktop + X server), median of $runs: x$(median <"$work/withx")"
[ -n "$other" ] && echo "other page/desktop, median of $runs: x$(median <"$work/other")"
exit 0
