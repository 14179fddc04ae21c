# Sourced by scripts that play the real game in an X server of their own: makes $work, starts
# Xvfb at $screen (800x600 unless set) on a display number the server picks itself (so parallel
# runs never collide), exports DISPLAY and an empty XDG_CONFIG_HOME and XDG_DATA_HOME of its own (no settings
# file or runs of the user's reach the game), and cleans up on exit. -noreset keeps the server up
# between two games: without it the server resets when its last client leaves, and a game started
# then cannot connect. Set fail_prefix first; the script sets $gpid to the game's process id so
# that it is stopped on exit too.
work=$(mktemp -d)
# The game reads and saves its settings under here, never in the user's own folder.
XDG_CONFIG_HOME=$work/config
export XDG_CONFIG_HOME
# Its runs too: the title shows no best score of the user's.
XDG_DATA_HOME=$work/data
export XDG_DATA_HOME
xpid=
gpid=
cleanup() {
    [ -n "$gpid" ] && kill "$gpid" 2>/dev/null
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "${fail_prefix}$*"
    exit 1
}
# Waits at most $1 seconds for the game ($gpid) to end, then sets $status to its exit status.
wait_game_end() {
    i=0
    while kill -0 "$gpid" 2>/dev/null; do
        i=$((i + 1))
        [ $i -gt $(($1 * 10)) ] && fail "the game did not end within $1 s"
        sleep 0.1
    done
    wait "$gpid"
    status=$?
    gpid=
}

# Waits at most 15 s for the game ($gpid) to open its window, then sets $wid to it and gives it
# the keyboard's focus; fails, with the game's log, when the game ends first.
wait_game_window() {
    i=0
    while ! xdotool search --pid "$gpid" >/dev/null 2>&1; do
        i=$((i + 1))
        kill -0 "$gpid" 2>/dev/null ||
            fail "the game ended before its window opened: $(tr "\n" " " <"$work/game.log" 2>/dev/null)"
        [ $i -gt 150 ] && fail "no game window after 15 s"
        sleep 0.1
    done
    wid=$(xdotool search --pid "$gpid" | head -n 1)
    xdotool windowfocus "$wid" 2>/dev/null
}

Xvfb -displayfd 3 -screen 0 "${screen:-800x600}x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xpid=$!
i=0
while [ ! -s "$work/display" ]; do
    i=$((i + 1))
    [ $i -gt 100 ] && fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    sleep 0.1
done
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY
