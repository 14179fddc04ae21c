#!/usr/bin/env bash
# Installs the Debian 12 packages farwake needs to build, run and test, skipping those present.
# usage: tools/deps.sh [play|test|bench]   (bench: test's, and PulseAudio for the sound latency)
set -euo pipefail
need=(build-essential cmake pkg-config libsdl2-dev libsdl2-ttf-dev libfluidsynth-dev
      timgm6mb-soundfont fonts-dejavu-core libpng-dev zlib1g-dev)
if [ "${1:-test}" = test ] || [ "${1:-test}" = bench ]; then
  need+=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
         xvfb xdotool x11-apps)
fi
[ "${1:-test}" = bench ] && need+=(pulseaudio)
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
