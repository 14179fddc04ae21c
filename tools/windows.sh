#!/usr/bin/env bash
# Cross-builds farwake for Windows (x86-64) with Debian's MinGW-w64: installs what it needs, builds
# static SDL2 and libpng from Debian's source packages into a cache outside the clone (keyed by
# their versions, so later runs reuse them), then the programs, the zip and the NSIS installer in
# build-windows/dist/.
# usage: tools/windows.sh [deps|build|all]   (deps: only the packages and the cached libraries)
# FW_WINDOWS_CACHE overrides the cache folder (default ${XDG_CACHE_HOME:-~/.cache}/farwake/windows).
# Exits 77 (a skip, said in one line) when the cross compiler, Wine or the sources cannot be had.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-all}
say() { echo "windows.sh: $*"; }
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
cache=${FW_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/farwake/windows}
jobs=$(nproc)

# Debian's packages: the cross compiler (posix threads), Wine to run what it builds, zlib for
# MinGW, NSIS for the installer, dpkg-dev for apt-get source, zip for the archive.
need=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
      libz-mingw-w64-dev wine64 nsis dpkg-dev zip cmake ninja-build)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  say "installing ${missing[*]}"
  skip="windows: skipped, cannot install ${missing[*]} (apt's message is above)"
  $sudo apt-get update -qq || { echo "$skip"; exit 77; }
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" || { echo "$skip"; exit 77; }
fi

# A private apt folder whose only source is a deb-src entry for this release, so that
# apt-get source works without touching the system's own sources.
apt_dir=$cache/apt
apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/parts"
          -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
# As root, apt would hand the downloads to its own user, who cannot write in root's cache.
[ "$(id -u)" -eq 0 ] && apt_opts+=(-o APT::Sandbox::User=root)
src_version() {
  apt-cache "${apt_opts[@]}" showsrc "$1" 2>/dev/null | awk '/^Version:/ { print $2; exit }'
}
mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
if [ ! -s "$apt_dir/sources.list" ]; then
  # shellcheck disable=SC1091
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  mirror=$(grep -h -E '^(URIs:|deb )' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list \
           2>/dev/null | grep -o -E 'https?://[^ ]*' | grep -v security | head -1 || true)
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] ${mirror:-http://deb.debian.org/debian} $codename main" \
    > "$apt_dir/sources.list"
fi
if [ -z "$(src_version libsdl2)" ]; then
  say "fetching the source lists ($(cat "$apt_dir/sources.list"))"
  apt-get "${apt_opts[@]}" update -qq ||
    { echo "windows: skipped, the source lists of $(cat "$apt_dir/sources.list") cannot be fetched"; exit 77; }
fi
sdl_v=$(src_version libsdl2)
png_v=$(src_version libpng1.6)
[ -n "$sdl_v" ] && [ -n "$png_v" ] || { echo "windows: skipped, no source package for libsdl2 or libpng1.6"; exit 77; }
deps=$cache/sdl2-${sdl_v}_png-${png_v}
export FW_WINDOWS_DEPS=$deps/prefix

# One static library from a Debian source package, built with the toolchain below. A build cut
# short (a budget, a stop) goes on from where it was on the next run.
toolchain=$PWD/cmake/mingw-w64-x86_64.cmake
build_dep() { # name source-package version cmake-options...
  local name=$1 pkg=$2 version=$3; shift 3
  [ -f "$deps/$name.done" ] && return 0
  say "building $name $version for Windows (static; once, then cached in $deps)"
  local tree
  tree=$(find "$deps/src-$name" -mindepth 1 -maxdepth 1 -type d 2>/dev/null | head -1)
  if [ -z "$tree" ] || [ ! -f "$deps/src-$name/fetched" ]; then
    rm -rf "$deps/src-$name" "$deps/build-$name"
    mkdir -p "$deps/src-$name"
    (cd "$deps/src-$name" && apt-get "${apt_opts[@]}" source -qq "$pkg=$version" >"$deps/$name.log" 2>&1) ||
      { tail -5 "$deps/$name.log"; echo "windows: skipped, apt-get source $pkg=$version failed"; exit 77; }
    touch "$deps/src-$name/fetched"
    tree=$(find "$deps/src-$name" -mindepth 1 -maxdepth 1 -type d | head -1)
  fi
  cmake -S "$tree" -B "$deps/build-$name" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$FW_WINDOWS_DEPS" "$@" >>"$deps/$name.log" 2>&1 ||
    { tail -20 "$deps/$name.log"; say "configuring $name failed (log: $deps/$name.log)"; exit 1; }
  nice -n 5 cmake --build "$deps/build-$name" -j"$jobs" >>"$deps/$name.log" 2>&1 &&
    cmake --install "$deps/build-$name" >>"$deps/$name.log" 2>&1 ||
    { tail -20 "$deps/$name.log"; say "building $name failed (log: $deps/$name.log)"; exit 1; }
  rm -rf "$deps/src-$name" "$deps/build-$name"
  touch "$deps/$name.done"
}
mkdir -p "$deps"
build_dep sdl2 libsdl2 "$sdl_v" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL2_DISABLE_UNINSTALL=ON
build_dep libpng libpng1.6 "$png_v" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON
say "static SDL2 $sdl_v and libpng $png_v in $FW_WINDOWS_DEPS"
[ "$mode" = deps ] && exit 0

# ccache as the test command uses it: paths inside the clone hashed relative to it.
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# The build runs its own generators under Wine, in a prefix of its own kept with the cache;
# no Mono or Gecko installer is offered, and Wine's own chatter stays off.
export WINEPREFIX=${FW_WINDOWS_BUILD_PREFIX:-$cache/wine-build} WINEDEBUG=-all \
       WINEDLLOVERRIDES="mscoree,mshtml=" SDL_AUDIODRIVER=dummy
out=build-windows
# This system's build of the text baker (FreeType and fontconfig are not built for Windows) and
# of the headless game and its data, which the Windows stage compares with.
say "host tools (the text face, and the Linux game to compare with) in $out/host"
cmake -S . -B "$out/host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFW_TESTS=OFF -DFW_BENCH=OFF \
  -DFW_SDL=OFF -DFW_MUSIC=OFF "${launcher[@]}" >/dev/null
nice -n 5 cmake --build "$out/host" -j"$jobs" --target farwake-headless fw_art fw_sounds
say "cross-building in $out"
cmake --preset windows "${launcher[@]}" >/dev/null
nice -n 5 cmake --build --preset windows -j"$jobs"
[ "$mode" = build ] && exit 0

# The zip: the three programs, the data files, README.txt and LICENSE.txt with Windows line ends.
version=$(sed -n 's/^project(farwake VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=farwake-$version-windows-x86_64
dist=$out/dist
stage=$dist/$name
rm -rf "$dist"
mkdir -p "$stage"
cp "$out"/farwake.exe "$out"/farwake565.exe "$out"/farwake-headless.exe "$stage"/
# The build keeps its debugging symbols in build-windows; what players get is stripped.
x86_64-w64-mingw32-strip "$stage"/*.exe
while read -r f; do
  [ -n "$f" ] && cp "$out/$f" "$stage/"
done <"$out/data-files.txt"
sed 's/$/\r/' README.md >"$stage/README.txt"
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
# Every file gets one date, so the same build gives the same zip.
find "$stage" -exec touch -d '2026-01-01 00:00:00 UTC' {} +
(cd "$dist" && rm -f "$name.zip" && zip -X -q -r "$name.zip" "$name")
# The installer: the same files, per user by default (dist/windows/farwake.nsi).
(cd "$stage" && find . -maxdepth 1 -type f -printf '%f\n' | LC_ALL=C sort) >"$dist/files.txt"
{
  while read -r f; do echo "File \"$f\""; done <"$dist/files.txt"
} >"$dist/install-files.nsh"
{
  while read -r f; do echo "Delete \"\$INSTDIR\\$f\""; done <"$dist/files.txt"
} >"$dist/uninstall-files.nsh"
makensis -V2 -DVERSION="$version" -DSTAGE="$(realpath "$stage")" -DLISTS="$(realpath "$dist")" \
  -DOUTFILE="$(realpath "$dist")/farwake-$version-setup.exe" dist/windows/farwake.nsi
rm -f "$dist/install-files.nsh" "$dist/uninstall-files.nsh"
say "made $dist/$name.zip and $dist/farwake-$version-setup.exe"
