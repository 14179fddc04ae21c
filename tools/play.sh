#!/usr/bin/env bash
# Builds farwake (installing missing packages first) and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh play
cmake --preset default -DFW_TESTS=OFF -DFW_BENCH=OFF >/dev/null
cmake --build --preset default -j"$(nproc)" --target farwake fw_art fw_sounds
exec ./build/farwake "$@"
