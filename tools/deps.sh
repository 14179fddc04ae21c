#!/usr/bin/env bash
# Installs the Debian packages farwake needs to build, run and test, skipping those present, under
# the names the running release uses (Debian 12, 13 and 14 and the distributions built on them).
# usage: tools/deps.sh [play|package|web|test|bench]   (bench: test's, and PulseAudio for the sound
# latency)
# For 'test', FW_TEST_ONLY=STAGE narrows the set to that stage of tools/test.sh, and FW_TEST_INNER=1
# (the shorter set inside another release's root) leaves out the web page's and the package's
# packages, and the window checks' ones until the stage that runs them (tsan).
set -euo pipefail
mode=${1:-test}
say() { echo "deps.sh: $*"; }
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo

# The release, for the one line below; the names themselves come from what apt knows.
release=unknown
if [ -r /etc/os-release ]; then
  # shellcheck disable=SC1091
  . /etc/os-release
  release="${PRETTY_NAME:-${ID:-?} ${VERSION_ID:-}}"
  [ -n "${VERSION_CODENAME:-}" ] && release="$release, ${VERSION_CODENAME}"
  case " ${ID:-} ${ID_LIKE:-} " in
    *" debian "*|*" ubuntu "*) ;;
    *) say "warning: $release is not Debian or built on it; trying apt anyway" ;;
  esac
fi

# apt's package lists, fetched once when they are missing (a fresh system or container has none).
updated=0
update() {
  [ $updated -eq 1 ] && return 0
  updated=1
  $sudo apt-get update -qq || { say "apt-get update failed: no network, no mirror, or a proxy" \
    "in the way (apt's message is above)"; exit 1; }
}
# True when the archive offers the package (a real one, not only a name others provide).
known() {
  apt-cache policy "$1" 2>/dev/null | grep '^  Candidate: [^(]' >/dev/null
}
# The first of the names the archive offers; empty when none.
first_known() {
  for n in "$@"; do
    if known "$n"; then echo "$n"; return 0; fi
  done
}
# Makes sure apt's lists know the package 'probe', fetching them once if they do not.
lists_for() {
  known "$1" || update
}

# The stages of tools/test.sh whose packages this run installs.
case $mode in
  play) stages=" " ;;
  package | web) stages=" $mode " ;;
  test) stages=" ${FW_TEST_ONLY:-build web asan fuzz install package tsan distro} " ;;
  *) stages=" build web asan fuzz install package tsan distro " ;;
esac
inner=
if [ "$mode" = test ] && [ -n "${FW_TEST_INNER:-}" ]; then
  inner=1
  stages=${stages/ web / }
  stages=${stages/ package / }
  stages=${stages/ distro / }
fi
stage() { [[ $stages == *" $1 "* ]]; }
# Whether this is the test command's set, whether it compiles (every stage but the package and
# the root does), and whether it builds the unit tests (all of those but the fuzz targets).
testing() { [ "$mode" = test ] || [ "$mode" = bench ]; }
compiles() { testing && { stage fuzz || tests; }; }
tests() { testing && { stage build || stage web || stage asan || stage install || stage tsan; }; }

need=(build-essential cmake pkg-config libsdl2-dev libfreetype-dev libfontconfig1-dev
      libfluidsynth-dev timgm6mb-soundfont fonts-dejavu-core libpng-dev zlib1g-dev)
# The Debian packaging tools and checkers (tools/package.sh).
stage package && need+=(dpkg-dev debhelper fakeroot lintian appstream desktop-file-utils pkgconf)
# The browser build: Emscripten (with Node.js) makes the page; its checks show it in Chromium,
# driven through the driver npm fetches (a Node.js from elsewhere may bring its own npm).
if stage web; then
  need+=(emscripten nodejs)
  if testing; then
    need+=(chromium)
    command -v npm >/dev/null 2>&1 || need+=(npm)
  fi
fi
tests && need+=(libgtest-dev libgmock-dev libbenchmark-dev)
# ccache: the test command's later runs reuse the compilations of the earlier ones.
compiles && need+=(ccache)
# The real-window checks (Xvfb, openbox, weston); inside another release's root its tsan stage
# runs them, so its build and unit tests come first without these.
if stage tsan || { stage build && [ -z "$inner" ]; }; then
  need+=(xvfb xdotool x11-apps x11-utils openbox weston)
fi
# debootstrap makes the Debian 13 root of the last stage.
stage distro && need+=(debootstrap)
if stage fuzz || stage tsan; then
  need+=(clang)
  # The sanitizer and libFuzzer runtimes of the release's default clang: a package named after
  # its version (libclang-rt-14-dev on 12, -19- on 13, -21- on 14), or inside clang's own
  # packages where a release has no such package.
  lists_for clang
  major=$(apt-cache depends clang 2>/dev/null |
          awk '/^ *Depends: clang-[0-9]+$/ && !m { sub(/.*clang-/, ""); m = $0 } END { print m }')
  if [ -z "$major" ]; then
    say "this release's archive has no clang (apt-cache depends clang names no clang-N)"
    exit 1
  fi
  rt=$(first_known "libclang-rt-$major-dev" libclang-rt-dev)
  [ -n "$rt" ] && need+=("$rt")
fi
[ "$mode" = bench ] && need+=(pulseaudio)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  say "$release: every package for '$mode' is installed"
  exit 0
fi
say "$release: installing ${missing[*]}"
update
absent=()
for p in "${missing[@]}"; do known "$p" || absent+=("$p"); done
if [ ${#absent[@]} -gt 0 ]; then
  say "not in this release's archive: ${absent[*]} (apt sources: /etc/apt/sources.list*)"
  exit 1
fi
if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
     "${missing[@]}"; then
  say "apt-get install failed for some of: ${missing[*]} (apt's message is above)"
  exit 1
fi
