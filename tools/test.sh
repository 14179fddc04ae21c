#!/usr/bin/env bash
# Builds farwake and runs every check: the test suite with warnings as errors, the web page in
# headless Chromium, the suite again under AddressSanitizer + UndefinedBehaviorSanitizer (with
# the full soak), the fuzz targets for a fixed time each, an install into a temporary prefix,
# the Debian package built, installed and purged (tools/package.sh), and the real-window checks
# under ThreadSanitizer. Installs missing packages first. (The same command in a fresh root of
# another Debian release: tools/distro-test.sh, run by hand.)
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh test
jobs=$(nproc)
fuzz_secs=${FW_FUZZ_SECONDS:-30}
# Repeated runs on one machine reuse their compilations where ccache is installed; paths inside
# the checkout are hashed relative to it, so a clone in another folder hits the same cache.
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

echo "== build and test (warnings are errors)"
cmake --preset ci "${launcher[@]}" >/dev/null
cmake --build --preset ci -j"$jobs"
ctest --preset ci -j"$jobs"

echo "== web page (Emscripten build, checked in headless Chromium)"
tests/web/browser.sh build-ci

echo "== sanitizers"
cmake --preset asan "${launcher[@]}" >/dev/null
cmake --build --preset asan -j"$jobs"
FW_SOAK_FULL=1 ctest --preset asan -j"$jobs"

echo "== fuzz (${fuzz_secs}s a target)"
cmake --preset fuzz "${launcher[@]}" >/dev/null
cmake --build --preset fuzz -j"$jobs"
fuzz/run.sh build-fuzz "$fuzz_secs"

echo "== install"
prefix=$(mktemp -d)
cmake --install build-ci --prefix "$prefix" >/dev/null
tools/install-check.sh "$prefix"
rm -rf "$prefix"

echo "== Debian package (build, lintian, install, play, purge)"
tools/package.sh

echo "== ThreadSanitizer (clang): the real-window checks with the dummy sound driver"
cmake --preset tsan "${launcher[@]}" >/dev/null
cmake --build --preset tsan -j"$jobs"
ctest --preset tsan

echo "all checks passed"
