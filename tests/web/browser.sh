#!/usr/bin/env bash
# Builds the web page (the `web` preset) and checks it in headless Chromium against the native
# farwake-headless of a native build folder. Skips with one line when Emscripten, Chromium or
# npm is missing (tools/deps.sh test installs them). usage: tests/web/browser.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
native=${1:-build-ci}
for tool in emcc node npm /usr/bin/chromium; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "web: skipped, $tool is missing (tools/deps.sh test installs Emscripten, Chromium and npm)"
    exit 0
  fi
done
if [ ! -x "$native/farwake-headless" ]; then
  echo "web: $native/farwake-headless is missing; build the native preset first" >&2
  exit 1
fi
# Debian's Emscripten optimiser needs Debian's acorn module.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
cmake --preset web >/dev/null
cmake --build --preset web -j"$(nproc)"
# The driver from the npm registry; it uses the system's Chromium and downloads no browser.
modules=build-web/browser-test
if [ ! -d "$modules/node_modules/puppeteer-core" ]; then
  mkdir -p "$modules"
  # npm's own error is kept and shown: "silent" would hide why a fetch failed.
  if ! PUPPETEER_SKIP_DOWNLOAD=1 npm install --loglevel=error --no-audit --no-fund \
       --prefix "$modules" puppeteer-core@22.15.0 >"$modules/npm.log" 2>&1; then
    tail -n 20 "$modules/npm.log" >&2
    echo "web: npm could not fetch puppeteer-core (npm's error above): check the network, a" \
      "proxy (HTTPS_PROXY, or npm config set proxy) or a certificate (NODE_EXTRA_CA_CERTS, or" \
      "npm config set cafile)" >&2
    exit 1
  fi
fi
exec node tests/web/browser_test.mjs build-web/page "$native/farwake-headless" "$native" tests/web \
  "$modules/node_modules"
