#!/usr/bin/env bash
# Checks an installed farwake: every file in place, and the installed headless game plays a short
# scripted game from an unrelated working directory.
# usage: tools/install-check.sh PREFIX
set -euo pipefail
prefix=$1
for f in bin/farwake-headless share/farwake/ship.bmp share/farwake/marlotitle.bmp \
         share/farwake/engine.wav share/applications/org.example.farwake.desktop \
         share/metainfo/org.example.farwake.metainfo.xml share/man/man6/farwake.6; do
  [ -e "$prefix/$f" ] || { echo "install-check: missing $f"; exit 1; }
done
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
[ "$lines" -ge 100 ] || { echo "install-check: only $lines state lines"; exit 1; }
echo "install-check: installed game ran $lines frames"
