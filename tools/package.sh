#!/usr/bin/env bash
# Builds the Debian package from a clean copy of the tree and checks it the distribution's way:
# lintian, the AppStream and desktop-entry validators, an install with apt, a scripted game from /,
# --version, and a purge that must leave no file behind. Installs and removes farwake on this
# machine, so it needs root (or sudo). usage: tools/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
fail() {
  echo "package: $*" >&2
  exit 1
}
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
tools/deps.sh package

version=$(sed -n 's/^project(farwake VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb_version=$(dpkg-parsechangelog -l debian/changelog -S Version)
[ -n "$version" ] || fail "no project version in CMakeLists.txt"
[ "$version" = "$deb_version" ] ||
  fail "debian/changelog is at $deb_version but the CMake project at $version"
arch=$(dpkg --print-architecture)

# A fixed folder, so that ccache (where present) finds the same paths from one run to the next.
work=${FW_PACKAGE_DIR:-${TMPDIR:-/tmp}/farwake-package}
tree=$work/farwake-$version
# Only a folder this script made is emptied, whatever FW_PACKAGE_DIR says.
if [ -e "$work" ] && [ ! -e "$work/.farwake-package" ]; then
  fail "$work exists and was not made by tools/package.sh; move it or set FW_PACKAGE_DIR"
fi
rm -rf "$work"
mkdir -p "$tree"
touch "$work/.farwake-package"

echo "== clean copy of the tree in $tree"
if git -C "$src" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # Tracked files as they stand, and new files git does not ignore: no build folders.
  git -C "$src" ls-files -z -co --exclude-standard | while IFS= read -r -d '' f; do
    [ -e "$f" ] && printf '%s\0' "$f"
  done | tar -C "$src" --null -T - -cf - | tar -C "$tree" -xf -
else
  tar -C "$src" --exclude='./build*' --exclude='./obj-*' -cf - . | tar -C "$tree" -xf -
fi

if ! (cd "$tree" && dpkg-checkbuilddeps >/dev/null 2>&1); then
  echo "== installing the build dependencies"
  (cd "$tree" && $sudo apt-get build-dep -y -qq -o DPkg::Lock::Timeout=600 ./)
fi

echo "== dpkg-buildpackage -us -uc -b (log in $work/build.log)"
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  # debhelper gives the build a HOME of its own; keep the cache where it is.
  CCACHE_DIR=$(ccache -k cache_dir 2>/dev/null || echo "$HOME/.cache/ccache")
  export CCACHE_DIR CCACHE_BASEDIR=$tree
fi
if ! (cd "$tree" && dpkg-buildpackage -us -uc -b) >"$work/build.log" 2>&1; then
  tail -n 40 "$work/build.log"
  fail "dpkg-buildpackage failed"
fi
deb=$work/farwake_${deb_version}_${arch}.deb
changes=$work/farwake_${deb_version}_${arch}.changes
[ -s "$deb" ] || fail "no $deb"
[ -s "$changes" ] || fail "no $changes"
ls "$work"/farwake-dbgsym_"${deb_version}"_"${arch}".deb >/dev/null || fail "no debug-symbol package"

echo "== contents"
root=$work/root
dpkg-deb -x "$deb" "$root"
for f in usr/games/farwake usr/games/farwake565 usr/games/farwake-headless \
         usr/share/games/farwake/screenshot.png \
         usr/share/applications/org.example.farwake.desktop \
         usr/share/metainfo/org.example.farwake.metainfo.xml \
         usr/share/man/man6/farwake.6.gz usr/share/doc/farwake/copyright; do
  [ -e "$root/$f" ] || fail "the package has no /$f"
done
for p in ship craft01 bullets missiles station00 expl powerups radar shields rmissile marlotitle; do
  [ -s "$root/usr/share/games/farwake/$p.bmp" ] || fail "the package has no $p.bmp"
done
for s in gameover victory engine blaze beep00 missile00 boom67 boom45 pdlaser; do
  [ -s "$root/usr/share/games/farwake/$s.wav" ] || fail "the package has no $s.wav"
done
for m in farwake565 farwake-headless; do
  [ -L "$root/usr/share/man/man6/$m.6.gz" ] || fail "no manual page link for $m"
done
# The screenshot is a picture of the game: 800x600 PNG.
head -c 24 "$root/usr/share/games/farwake/screenshot.png" | od -An -tx1 | tr -d ' \n' |
  grep -q '^89504e470d0a1a0a0000000d4948445200000320' || fail "the screenshot is not an 800-wide PNG"
depends=$(dpkg-deb -f "$deb" Depends)
recommends=$(dpkg-deb -f "$deb" Recommends)
grep -q 'libsdl2-2' <<<"$depends" || fail "Depends lacks the SDL library: $depends"
# What the programs load by path is not seen by the library scan: the font, where text is drawn
# at run time, and a General MIDI SoundFont, where the game plays music.
reads_font=no
grep -q 'DejaVuSans-Bold\.ttf' "$root/usr/games/farwake" && reads_font=yes
names_font=no
grep -q 'fonts-dejavu-core' <<<"$depends" && names_font=yes
[ "$reads_font" = "$names_font" ] || fail "farwake reads the DejaVu font at run time: $reads_font;" \
  "fonts-dejavu-core in Depends: $names_font (see debian/control)"
if grep -q 'libfluidsynth' <<<"$depends" && ! grep -q 'sf2-soundfont-gm' <<<"$depends $recommends"; then
  fail "farwake plays music: name sf2-soundfont-gm in Recommends in debian/control"
fi

# Every tag fails, informational and pedantic ones too: one that is accepted goes into
# debian/farwake.lintian-overrides with its reason, and into the README.
echo "== lintian --pedantic"
lintian --pedantic --display-info --fail-on error,warning,info,pedantic "$changes" "$deb" ||
  fail "lintian reports tags"

echo "== appstreamcli validate, desktop-file-validate"
appstreamcli validate --pedantic --no-net "$root/usr/share/metainfo/org.example.farwake.metainfo.xml" ||
  fail "the metainfo does not validate"
desktop-file-validate "$root/usr/share/applications/org.example.farwake.desktop" ||
  fail "the desktop entry does not validate"

# Everything an install could leave behind, as a sorted list of paths.
snapshot() {
  local dirs=()
  for d in /usr /etc /opt /var/games /var/lib/dpkg/info /var/lib/dpkg/alternatives; do
    [ -d "$d" ] && dirs+=("$d")
  done
  find "${dirs[@]}" -xdev 2>/dev/null | LC_ALL=C sort || true
}
apt_get() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -y -qq -o DPkg::Lock::Timeout=600 "$@"
}
installed() {
  dpkg-query -W -f='${Status}\n' farwake 2>/dev/null | grep -q 'install ok installed\|config-files'
}
installed && { echo "== purging an earlier farwake"; apt_get purge farwake >/dev/null; }

snapshot >"$work/files-before"
dpkg-query -W -f='${Package}\n' | LC_ALL=C sort >"$work/packages-before"
new_packages=""
cleanup() {
  if installed; then
    echo "== apt-get purge farwake $new_packages"
    # shellcheck disable=SC2086 # one word a package
    apt_get purge farwake $new_packages >/dev/null || echo "package: the purge failed" >&2
  fi
}
trap cleanup EXIT

echo "== apt-get install ./$(basename "$deb")"
(cd "$work" && apt_get install "./$(basename "$deb")" >/dev/null)
installed || fail "farwake is not installed after apt-get install"
# Packages that came in with farwake go out with it, so that the file lists compare.
new_packages=$(dpkg-query -W -f='${Package}\n' | LC_ALL=C sort |
               LC_ALL=C comm -13 "$work/packages-before" - | grep -vx farwake | tr '\n' ' ' || true)
[ -z "$new_packages" ] || echo "   with $new_packages"

echo "== the installed game"
got=$(/usr/games/farwake --version)
[ "$got" = "farwake $deb_version" ] || fail "farwake --version says '$got', not 'farwake $deb_version'"
# Each program names itself, GNU style, before the package version.
got=$(/usr/games/farwake565 --version)
[ "$got" = "farwake565 $deb_version" ] ||
  fail "farwake565 --version says '$got', not 'farwake565 $deb_version'"
play=$work/play
mkdir -p "$play/bare/bin"
cat >"$play/keys" <<'KEYS'
# leave the title, then thrust, turn and fire for a while
0 ESCAPE
10-120 UP
30-60 RIGHT
40-200 LCONTROL
KEYS
(cd / && /usr/games/farwake-headless --keys "$play/keys" --frames 300 --state "$play/state.jsonl")
lines=$(wc -l <"$play/state.jsonl")
[ "$lines" -ge 100 ] || fail "the installed game wrote only $lines state lines"
# The same game from a copy of the program with no data near it must draw differently, or the
# installed game did not find /usr/share/games/farwake either.
cp /usr/games/farwake-headless "$play/bare/bin/"
(cd "$play/bare" && bin/farwake-headless --keys ../keys --frames 300 --state state.jsonl \
  --allow-missing-data)
crc() { tail -n 1 "$1" | sed -n 's/.*"frame_crc":\([0-9]*\).*/\1/p'; }
[ -n "$(crc "$play/state.jsonl")" ] || fail "no frame_crc in the state lines"
[ "$(crc "$play/state.jsonl")" != "$(crc "$play/bare/state.jsonl")" ] ||
  fail "the installed game drew the same frame without its data"
echo "   played $lines frames from / with the data in /usr/share/games/farwake"
dpkg -L farwake | LC_ALL=C sort >"$work/farwake-files"

cleanup
trap - EXIT
if installed; then fail "farwake is still installed after the purge"; fi
snapshot >"$work/files-after"
left=$(LC_ALL=C comm -13 "$work/files-before" "$work/files-after" || true)
gone=$(LC_ALL=C comm -23 "$work/files-before" "$work/files-after" || true)
# Another program may install packages meanwhile: a path some other package owns is not ours.
ours() {
  while IFS= read -r f; do
    [ -n "$f" ] || continue
    owner=$(dpkg -S "$f" 2>/dev/null | head -n 1 || true)
    [ -n "$owner" ] && [ "${owner%%:*}" != farwake ] && continue
    echo "$f"
  done
}
left=$(ours <<<"$left")
[ -z "$left" ] || fail "the purge left files behind:
$left"
# The package was not there at the start, so a path gone since belongs to something else.
[ -z "$gone" ] || echo "   ($(wc -l <<<"$gone") paths of other programs went meanwhile:" \
  "$(head -n 3 <<<"$gone" | tr '\n' ' '))"
while IFS= read -r f; do
  [ -d "$f" ] && continue
  [ ! -e "$f" ] || fail "the purge left $f"
done <"$work/farwake-files"
echo "package: farwake_${deb_version}_${arch}.deb built, lintian-clean, installed, played, purged"
