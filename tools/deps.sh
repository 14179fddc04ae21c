#!/usr/bin/env bash
# Installs the Debian 12 packages farwake needs to build, run and test, skipping those present.
# usage: tools/deps.sh [play|package|web|test|bench]   (bench: test's, and PulseAudio for the sound
# latency)
set -euo pipefail
need=(build-essential cmake pkg-config libsdl2-dev libfreetype-dev libfontconfig1-dev
      libfluidsynth-dev timgm6mb-soundfont fonts-dejavu-core libpng-dev zlib1g-dev)
mode=${1:-test}
# The Debian packaging tools and checkers (tools/package.sh), which the test command runs too.
if [ "$mode" = package ] || [ "$mode" = test ]; then
  need+=(dpkg-dev debhelper fakeroot lintian appstream desktop-file-utils
         pkgconf)
fi
if [ "$mode" = web ] || [ "$mode" = test ]; then
  # The browser build: Emscripten (with Node.js) makes the page.
  need+=(emscripten nodejs)
fi
if [ "$mode" = test ] || [ "$mode" = bench ]; then
  need+=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
         xvfb xdotool x11-apps x11-utils openbox chromium)
  # npm fetches the browser driver; a Node.js from elsewhere may bring its own npm.
  command -v npm >/dev/null 2>&1 || need+=(npm)
fi
[ "$mode" = bench ] && need+=(pulseaudio)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
