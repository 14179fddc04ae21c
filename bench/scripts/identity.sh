#!/bin/sh
# Byte-identity check for speed work: runs farwake-headless over a fixed set of seeded games
# (state lines, pictures and the sound mix) and prints one checksum per output file. Run it with
# the old and the new build and compare the two listings; any difference is a change of behaviour.
# usage: bench/scripts/identity.sh HEADLESS DATA_DIR OUT_DIR [LONG_FRAMES]
set -e
tool=$1
data=$2
out=$3
long=${4:-20000}
[ -x "$tool" ] && [ -d "$data" ] || { echo "usage: identity.sh HEADLESS DATA_DIR OUT_DIR [FRAMES]"; exit 2; }
mkdir -p "$out"
out=$(cd "$out" && pwd)

# Title, a busy fight with turns, afterburner and missiles, the debug readout, a packing toggle,
# a restart, and the credits left early.
cat >"$out/busy.keys" <<'KEYS'
0 ESCAPE
3-5000 UP LCONTROL
40-90 RIGHT
200-260 TAB LMENU
300-310 D
700-705 F10
900-1000 LEFT LMENU
1500-1510 F5
2000-2010 RETURN
2500-2600 R
3000-3003 D
KEYS
cat >"$out/quiet.keys" <<'KEYS'
0 ESCAPE
KEYS
: >"$out/empty.keys"

run() { # name seed keys frames [extra...]
    name=$1 seed=$2 keys=$3 frames=$4
    shift 4
    "$tool" --data "$data" --seed "$seed" --keys "$out/$keys" --frames "$frames" \
        --state "$out/$name.jsonl" --audio "$out/$name.wav" "$@"
}
run long 1000 busy.keys "$long"
run seed7 7 busy.keys 3000 --shot 10:"$out/seed7-10.png" --shot 600:"$out/seed7-600.png"
run seed4242 4242 busy.keys 1200 --shot 1190:"$out/seed4242-1190.png"
run quiet 99 quiet.keys 400 --shot 1:"$out/quiet-1.png"
run title 5 empty.keys 30 --shot 20:"$out/title-20.png"
# The credits run to their end when Escape is only pressed once in the game.
printf '0 ESCAPE\n10 ESCAPE\n' >"$out/credits.keys"
run credits 11 credits.keys 2000 --shot 300:"$out/credits-300.png"
# Only the checksums: listings of two builds compare with diff.
(cd "$out" && md5sum *.jsonl *.wav *.png)
