#!/bin/sh
# The long Windows identity run: 20 seeds of 3,000 frames of varied keys, this system's
# farwake-headless against the Windows one under Wine (state and entity lines, recordings, and
# each side replaying the other's), timed. The test command's Windows stage runs a short set.
# usage: bench/scripts/windows_identity.sh [BUILD]   (BUILD: build-windows, from tools/windows.sh)
set -eu
build=${1:-build-windows}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
server=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
trap 'WINEPREFIX=$work/prefix "$server" -k 2>/dev/null; rm -rf "$work"' EXIT
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" SDL_AUDIODRIVER=dummy
"$(command -v wine || echo /usr/lib/wine/wine64)" wineboot -i >/dev/null 2>&1
seeds="1 2 3 5 7 11 13 42 99 100 256 777 1000 1234 2024 4242 5000 9999 31337 65535"
start=$(date +%s)
"$root/tests/windows/identity.sh" "$build/host/farwake-headless" "$build/farwake-headless.exe" \
    "$build/host" "$work/identity" "$seeds" 3000
echo "20 seeds x 3,000 frames identical on both sides in $(($(date +%s) - start)) s"
