#!/usr/bin/env bash
# Builds farwake as a web page (installing Emscripten first when missing) and serves it on
# 127.0.0.1, printing the address to open. usage: tools/web.sh [PORT]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh web
# Debian's Emscripten optimiser needs Debian's acorn module.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
cmake --preset web >/dev/null
cmake --build --preset web -j"$(nproc)"
exec node tools/web/serve.mjs build-web/page "${1:-8000}"
