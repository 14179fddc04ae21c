#!/usr/bin/env bash
# Checks an installed farwake: every file in place, and the installed headless game plays a short
# scripted game from an unrelated working directory with the installed pictures.
# usage: tools/install-check.sh PREFIX
set -euo pipefail
prefix=$1
fail() {
  echo "install-check: $*"
  exit 1
}
for f in bin/farwake-headless share/applications/org.example.farwake.desktop \
         share/metainfo/org.example.farwake.metainfo.xml share/man/man6/farwake.6; do
  [ -e "$prefix/$f" ] || fail "missing $f"
done
for p in ship craft01 bullets missiles station00 expl powerups radar shields rmissile marlotitle; do
  [ -s "$prefix/share/farwake/$p.bmp" ] || fail "missing share/farwake/$p.bmp"
done
for s in gameover victory engine blaze beep00 missile00 boom67 boom45 pdlaser; do
  [ -s "$prefix/share/farwake/$s.wav" ] || fail "missing share/farwake/$s.wav"
done
for size in 48 64 128 256; do
  icon=share/icons/hicolor/${size}x${size}/apps/org.example.farwake.png
  [ -s "$prefix/$icon" ] || fail "missing $icon"
done
# The desktop entry and the metainfo, where the validators are installed (not needed to build).
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/org.example.farwake.desktop" ||
    fail "the desktop entry does not validate"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.example.farwake.metainfo.xml" \
    >/dev/null || fail "the metainfo does not validate"
fi
# The real game is installed wherever it was built (the SDL backend can be turned off).
[ -e "$prefix/bin/farwake" ] && { [ -x "$prefix/bin/farwake565" ] || fail "farwake565 missing"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/keys" <<'KEYS'
# leave the title, then thrust, turn and fire for a while
0 ESCAPE
10-120 UP
30-60 RIGHT
40-200 LCONTROL
KEYS
(cd "$work" && "$prefix/bin/farwake-headless" --keys keys --frames 300 --state state.jsonl)
lines=$(wc -l < "$work/state.jsonl")
[ "$lines" -ge 100 ] || fail "only $lines state lines"

# The same game from a copy of the program with no data anywhere near it must look different:
# otherwise the installed run did not find its pictures either.
mkdir "$work/bare" "$work/bare/bin"
cp "$prefix/bin/farwake-headless" "$work/bare/bin/"
(cd "$work/bare" && bin/farwake-headless --keys ../keys --frames 300 --state state.jsonl \
  --allow-missing-data)
crc() { tail -n 1 "$1" | sed -n 's/.*"frame_crc":\([0-9]*\).*/\1/p'; }
[ -n "$(crc "$work/state.jsonl")" ] || fail "no frame_crc in the state lines"
[ "$(crc "$work/state.jsonl")" != "$(crc "$work/bare/state.jsonl")" ] ||
  fail "the installed game drew the same frame without its data: it did not find share/farwake"
echo "install-check: installed game ran $lines frames with its installed data"
