#!/usr/bin/env bash
# Builds farwake and runs every check: the test suite with warnings as errors, the web page in
# headless Chromium, the suite again under AddressSanitizer + UndefinedBehaviorSanitizer (with
# the full soak), the fuzz targets for a fixed time each, an install into a temporary prefix,
# the Debian package built, installed and purged (tools/package.sh), the real-window checks
# under ThreadSanitizer, the Windows build checked under Wine (tools/windows.sh, then
# tests/windows/stage.sh), and the shorter set in a Debian 13 root (tools/distro-test.sh trixie).
# Installs missing packages first.
# FW_TEST_ONLY=STAGE runs one stage (build, web, asan, fuzz, install, package, tsan, windows,
# distro).
# FW_TEST_INNER=1 (set by tools/distro-test.sh) is the shorter set run inside another release's
# root: no web page and no Debian package (the host run checks both), the short soak.
set -euo pipefail
cd "$(dirname "$0")/.."
# The budgets below count from here: a first run's package install is part of the hour.
began=$(date +%s)
tools/deps.sh test
jobs=$(nproc)
only=${FW_TEST_ONLY:-}
inner=${FW_TEST_INNER:-}
# Whether this run does the stage named: all of them, the one FW_TEST_ONLY names, or the inner set.
want() {
  [ -z "$only" ] || [ "$only" = "$1" ] || return 1
  if [ -n "$inner" ]; then
    case $1 in
      distro) return 1 ;;
      web | package | windows)
        echo "== $1: left to the host run (shorter set inside tools/distro-test.sh)"
        return 1
        ;;
    esac
  fi
  return 0
}
case $only in
  '' | build | web | asan | fuzz | install | package | tsan | windows | distro) ;;
  *) echo "test.sh: FW_TEST_ONLY=$only names no stage" >&2; exit 2 ;;
esac
fuzz_secs=${FW_FUZZ_SECONDS:-30}
# Repeated runs on one machine reuse their compilations where ccache is installed; paths inside
# the checkout are hashed relative to it, so a clone in another folder hits the same cache.
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

if want build || want web || want install; then
  echo "== build and test (warnings are errors)"
  cmake --preset ci "${launcher[@]}" >/dev/null
  cmake --build --preset ci -j"$jobs"
  want build && ctest --preset ci -j"$jobs"
fi

if want web; then
  echo "== web page (Emscripten build, checked in headless Chromium)"
  tests/web/browser.sh build-ci
fi

if want asan; then
  # The full soak is 100,000 frames; the inner set keeps the short one.
  soak=1
  [ -n "$inner" ] && soak=
  echo "== sanitizers${soak:+ (full soak)}"
  cmake --preset asan "${launcher[@]}" >/dev/null
  cmake --build --preset asan -j"$jobs"
  FW_SOAK_FULL=$soak ctest --preset asan -j"$jobs"
fi

if want fuzz; then
  echo "== fuzz (${fuzz_secs}s a target)"
  cmake --preset fuzz "${launcher[@]}" >/dev/null
  cmake --build --preset fuzz -j"$jobs"
  fuzz/run.sh build-fuzz "$fuzz_secs"
fi

if want install; then
  echo "== install"
  prefix=$(mktemp -d)
  cmake --install build-ci --prefix "$prefix" >/dev/null
  tools/install-check.sh "$prefix"
  rm -rf "$prefix"
fi

if want package; then
  echo "== Debian package (build, lintian, install, play, purge)"
  tools/package.sh
fi

if want tsan; then
  echo "== ThreadSanitizer (clang): the real-window checks with the dummy sound driver"
  cmake --preset tsan "${launcher[@]}" >/dev/null
  cmake --build --preset tsan -j"$jobs"
  ctest --preset tsan
fi

skipped=
if want windows; then
  echo "== Windows (MinGW-w64 cross build; under Wine: data, game and recordings, window, installer)"
  # A fresh machine builds SDL2 and libpng for Windows once (cached outside the clone); the stage
  # gets at most 25 of the 50 minutes, and a stop there keeps what was built for the next run.
  left=$((50 - ($(date +%s) - began) / 60))
  budget=${FW_WINDOWS_BUDGET:-$((left < 25 ? left : 25))}
  status=0
  if [ "$budget" -lt 3 ]; then
    echo "windows: skipped, a budget of $budget min is too short to start in"
    status=77
  else
    timeout "${budget}m" sh -c 'tools/windows.sh && tests/windows/stage.sh build-windows' || status=$?
  fi
  case $status in
    77) skipped=" (the Windows stage was skipped: see its line above)" ;;
    124) skipped=" (the Windows stage stopped at its $budget min budget; the next run goes on from its cache)" ;;
    0) ;;
    *) exit $status ;;
  esac
fi

if want distro; then
  echo "== Debian 13 (trixie) root: the shorter set (tools/distro-test.sh)"
  # Status 77 is a skip, and the script has said why in one line; the last line repeats it.
  # It gets what is left of 55 minutes after the stages before it, at most 35, and at least the
  # time a new machine's cold root takes to reach its build and unit tests, which run first. A
  # stop at that budget is not a failure: the root, its packages and its compiler cache keep what
  # was done, and the next run goes on from there to the stages after them.
  left=$((55 - ($(date +%s) - began) / 60))
  floor=25
  budget=${FW_DISTRO_BUDGET:-$((left < floor ? floor : left < 35 ? left : 35))}
  status=0
  if [ "$budget" -lt 5 ]; then
    echo "distro-test: skipped, a budget of $budget min is too short to start in"
    status=77
  else
    FW_DISTRO_BUDGET=$budget tools/distro-test.sh trixie || status=$?
  fi
  case $status in
    77) skipped=" (the Debian 13 run was skipped: see its line above)" ;;
    124) skipped=" (the Debian 13 run stopped at its $budget min budget after the stages its line above names; the next run goes on from its caches)" ;;
    0) ;;
    *) exit $status ;;
  esac
fi

echo "all checks passed${skipped}"
