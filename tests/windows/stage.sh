#!/bin/sh
# The Windows build checked under Wine, in a Wine prefix and an X server of its own, with SDL's
# dummy sound driver: the data the Windows generators made against this system's, the headless
# game and recordings against this system's (tests/windows/identity.sh), file names with
# non-ASCII letters, the windowed game's command line, the installer's silent install, the
# installed game's window (the title shown, Escape leaves it, a held Up thrusts, the settings
# saved in %APPDATA%), its run kept in %LOCALAPPDATA% and verified both ways, and the uninstaller
# leaving nothing of its own but the settings.
# usage: tests/windows/stage.sh [BUILD]  (BUILD: build-windows, made by tools/windows.sh)
# Exits 77, saying why in one line, when Wine, Xvfb, xdotool or xwd is missing.
set -eu
build=${1:-build-windows}
here=$(cd "$(dirname "$0")" && pwd)
wine=$(command -v wine || command -v wine64 || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; } || true)
[ -n "$wine" ] || { echo "windows: skipped, Wine is not installed"; exit 77; }
for tool in Xvfb xdotool xwd; do
    command -v "$tool" >/dev/null 2>&1 || { echo "windows: skipped, $tool is not installed"; exit 77; }
done
server=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
host=$build/host
version=$(sed -n 's/^project(farwake VERSION \([0-9.]*\).*/\1/p' "$here/../../CMakeLists.txt")
setup=$build/dist/farwake-$version-setup.exe
for f in "$build/farwake.exe" "$build/farwake-headless.exe" "$host/farwake-headless" "$setup"; do
    [ -f "$f" ] || { echo "FAIL: no $f (tools/windows.sh makes it)"; exit 1; }
done
build=$(cd "$build" && pwd)
host=$build/host
setup=$build/dist/farwake-$version-setup.exe

fail_prefix="FAIL: "
. "$here/../../tools/xvfb-session.sh"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" SDL_AUDIODRIVER=dummy
"$wine" wineboot -i >/dev/null 2>&1 || fail "Wine could not make its prefix"
"$server" -w 2>/dev/null || true
openbox >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null || true; "$server" -k 2>/dev/null || true; cleanup || true' EXIT

# ---- the data: what the Windows generators made is what this system's made -------------------
# The screenshot is a PNG of a game frame, whose pixels the frame CRCs below already compare;
# its bytes are zlib's, which packs differently from one version to the next.
differ=
n=0
while read -r f; do
    case $f in '' | *.png) continue ;; esac
    n=$((n + 1))
    cmp -s "$build/$f" "$host/$f" || differ="$differ $f"
done <"$build/data-files.txt"
[ -z "$differ" ] || fail "the data generated under Wine differs from this system's:$differ"
[ $n -gt 0 ] || fail "no data files listed in $build/data-files.txt"
echo "data: $n pictures and sounds generated under Wine, byte-identical to this system's"

# ---- the headless game, the same to the bit -------------------------------------------------
"$here/identity.sh" "$host/farwake-headless" "$build/farwake-headless.exe" "$host" "$work/identity" \
    "${FW_WINDOWS_SEEDS:-1 7 4242}" "${FW_WINDOWS_FRAMES:-600}"

# ---- names beyond ASCII, on the command line and in files -----------------------------------
odd="$work/Zoë/spiel ünd"
mkdir -p "$odd"
"$wine" "$build/farwake-headless.exe" --data "$host" --seed 3 --frames 40 --state "$odd/state.jsonl" \
    --record "$odd/run.rec" >"$work/odd.log" 2>&1 || fail "farwake-headless.exe with a path in Zoë/: $(cat "$work/odd.log")"
[ -s "$odd/state.jsonl" ] && [ -s "$odd/run.rec" ] || fail "no state or recording written under Zoë/"
"$wine" "$build/farwake-headless.exe" --data "$host" --replay "$odd/run.rec" >"$work/odd.log" 2>&1 ||
    fail "the recording under Zoë/ does not replay: $(cat "$work/odd.log")"
echo "a folder named Zoë/spiel ünd works for --state, --record and --replay"

# ---- the windowed game's command line -------------------------------------------------------
out=$("$wine" "$build/farwake.exe" --version 2>&1) || fail "farwake.exe --version failed: $out"
[ "$out" = "farwake $version" ] || fail "farwake.exe --version printed '$out'"
"$wine" "$build/farwake.exe" --help 2>&1 | grep -q -- "--state" || fail "farwake.exe --help does not list --state"
echo "farwake.exe --version prints '$out'; --help lists the options"

# ---- the installer, silent, per user --------------------------------------------------------
"$wine" "$setup" /S >"$work/setup.log" 2>&1 || fail "the installer failed: $(cat "$work/setup.log")"
"$server" -w
users=$WINEPREFIX/drive_c/users/$(id -un)
appdir="$users/AppData/Local/Programs/farwake"
[ -d "$appdir" ] || appdir=$(find "$WINEPREFIX/drive_c/users" -type d -path '*Local/Programs/farwake' | head -1)
[ -n "$appdir" ] && [ -f "$appdir/farwake.exe" ] || fail 'the installer put no farwake.exe in AppData/Local/Programs/farwake'
users=${appdir%/AppData/Local/Programs/farwake}
link=$(find "$users" -name 'farwake.lnk' | head -1)
[ -n "$link" ] || fail "no Start menu entry"
installed=$(cd "$appdir" && find . -type f | sort)
echo "installed silently: $(echo "$installed" | wc -l) files in $(echo "$appdir" | sed "s|$WINEPREFIX/||"), a Start menu entry"

# ---- the installed game: its window, the title, Escape, a held Up, the settings -------------
(cd "$work" && exec "$wine" "$appdir/farwake.exe" --state "$work/window.jsonl") >"$work/game.log" 2>&1 &
gpid=$!
i=0
while ! wid=$(xdotool search --name '^farwake$' 2>/dev/null | head -1) || [ -z "$wid" ]; do
    i=$((i + 1))
    kill -0 "$gpid" 2>/dev/null || fail "the installed game ended before its window opened: $(cat "$work/game.log")"
    [ $i -gt 300 ] && fail "no window titled farwake after 30 s"
    sleep 0.1
done
xdotool windowfocus "$wid" 2>/dev/null || true
sleep 2
lit() { # the bytes of the screen's picture that are not black
    xwd -root -silent | tail -c 1920000 | tr -d '\000' | wc -c
}
[ "$(lit)" -gt 20000 ] || fail "the title screen is black"
echo "the window titled farwake shows the title"
xdotool keydown Escape sleep 0.1 keyup Escape
sleep 1
xdotool keydown Up sleep 1.5 keyup Up
grep -q '"engines_on":1' "$work/window.jsonl" || fail "a held Up did not thrust: $(tail -1 "$work/window.jsonl")"
echo "Escape left the title; a held Up thrusts (engines_on in the state lines)"
# F11 leaves fullscreen; the change is the player's, so the settings file keeps it.
xdotool key F11
sleep 1
i=0
while kill -0 "$gpid" 2>/dev/null; do
    xdotool search --name '^farwake$' key Escape 2>/dev/null || true
    sleep 1
    i=$((i + 1))
    [ $i -gt 20 ] && fail "Escape does not end the game"
done
wait "$gpid" || fail "the game exited with status $?: $(cat "$work/game.log")"
gpid=
settings="$users/AppData/Roaming/farwake/settings.ini"
[ -f "$settings" ] || fail 'no settings in %APPDATA%/farwake/settings.ini'
grep -q "fullscreen = off" "$settings" || fail "the settings file lost F11: $(cat "$settings")"
echo 'the game ended with status 0; its settings are in %APPDATA%/farwake/settings.ini'

# ---- its run: kept in %LOCALAPPDATA%, listed by --scores, verified here; and one made here
# verified there ---------------------------------------------------------------------------------
kept=$(find "$users/AppData/Local/farwake/runs" -name '*.rec' 2>/dev/null | head -1)
[ -n "$kept" ] || fail 'the game kept no run in %LOCALAPPDATA%/farwake/runs'
out=$("$host/farwake-headless" --data "$host" --verify "$kept" 2>&1) ||
    fail "the run kept on Windows does not verify on this system: $out"
case $out in *'"verified": true'*'"outcome": "quit"'*) ;; *) fail "its verdict here: $out" ;; esac
scores=$("$wine" "$appdir/farwake.exe" --scores 2>&1) || fail "farwake.exe --scores failed: $scores"
echo "$scores" | grep -q ' quit ' || fail "farwake.exe --scores does not list the game: $scores"
"$host/farwake-headless" --data "$host" --seed 12 --frames 300 --record "$work/here.rec" >/dev/null 2>&1 ||
    fail "farwake-headless could not record a run here"
out=$("$wine" "$build/farwake-headless.exe" --data "$host" --verify "$work/here.rec" 2>&1) ||
    fail "a run made on this system does not verify under Windows: $out"
case $out in *'"verified": true'*) ;; *) fail "its verdict under Windows: $out" ;; esac
echo 'the game kept its run in %LOCALAPPDATA%/farwake/runs; --scores lists it; it verifies here, and a run made here verifies there'

# ---- the uninstaller: nothing of its own is left, the settings stay -------------------------
"$server" -w # the programs above have all ended
"$wine" "$appdir/uninstall.exe" /S >"$work/uninstall.log" 2>&1 || fail "the uninstaller failed (status $?): $(cat "$work/uninstall.log")"
"$server" -w
[ ! -e "$appdir" ] || fail "the uninstaller left $(cd "$appdir" && find . | tr '\n' ' ')"
[ ! -e "$link" ] || fail "the uninstaller left the Start menu entry"
[ -f "$settings" ] || fail "the uninstaller removed the player's settings"
[ -f "$kept" ] || fail "the uninstaller removed the player's runs"
echo "uninstalled: no file of the installer's left; the settings and runs stay"
echo "windows: all checks passed"
exit 0
