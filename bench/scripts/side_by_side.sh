#!/bin/sh
# Old and new builds timed in turns on the same machine, so that both see the same load: the
# headless runner's game frames per second of processor time (plain, --state, --audio), its
# peak memory with --audio, and, when both bench_game programs are given, the busy frame's
# median processor time. Prints medians of the runs and the new/old ratios.
# usage: bench/scripts/side_by_side.sh OLD_HEADLESS NEW_HEADLESS DATA_DIR [RUNS] [FRAMES]
#        [OLD_BENCH_GAME NEW_BENCH_GAME]
old=$1 new=$2 data=$3 runs=${4:-5} frames=${5:-20000} old_game=$6 new_game=$7
for t in "$old" "$new"; do [ -x "$t" ] || { echo "side_by_side: no program at $t"; exit 2; }; done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A busy game: thrust and fire throughout, with turns, afterburner and missiles.
printf '0 ESCAPE\n1-2000000 UP LCONTROL\n40-90 RIGHT\n200-260 TAB LMENU\n900-1000 LEFT LMENU\n' \
    >"$work/keys"

# One timed run: prints "cpu_seconds max_rss_kib".
timed() {
    prog=$1
    shift
    /usr/bin/time -f "%U %S %M" -o "$work/t" "$prog" --data "$data" --keys "$work/keys" \
        --frames "$frames" "$@" >/dev/null 2>&1
    awk '{printf "%.3f %d\n", $1 + $2, $3}' "$work/t"
}
median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

for mode in plain state audio; do
    case $mode in
    plain) args= ;;
    state) args="--state $work/s.jsonl" ;;
    audio) args="--audio $work/a.wav" ;;
    esac
    : >"$work/old.$mode"
    : >"$work/new.$mode"
    i=0
    while [ $i -lt "$runs" ]; do
        timed "$old" $args >>"$work/old.$mode"
        timed "$new" $args >>"$work/new.$mode"
        i=$((i + 1))
    done
    oc=$(cut -d' ' -f1 "$work/old.$mode" | median)
    nc=$(cut -d' ' -f1 "$work/new.$mode" | median)
    om=$(cut -d' ' -f2 "$work/old.$mode" | median)
    nm=$(cut -d' ' -f2 "$work/new.$mode" | median)
    awk -v m="$mode" -v f="$frames" -v oc="$oc" -v nc="$nc" -v om="$om" -v nm="$nm" 'BEGIN {
        printf "headless %-6s old %7.0f frames/s  new %7.0f frames/s  x%.1f   peak memory old %.1f MiB new %.1f MiB\n",
            m, f / oc, f / nc, oc / nc, om / 1024, nm / 1024
    }'
done

if [ -x "$old_game" ] && [ -x "$new_game" ]; then
    : >"$work/oldg"
    : >"$work/newg"
    i=0
    while [ $i -lt 3 ]; do
        for g in old new; do
            prog=$old_game
            [ $g = new ] && prog=$new_game
            (cd "$data" && "$prog" --benchmark_filter='BM_Game_Frame_Busy' \
                --benchmark_format=csv 2>/dev/null) |
                awk -F, 'NR == 1 {for (i = 1; i <= NF; i++) if ($i ~ /cpu_median_us/) c = i}
                         NR > 1 && c && $1 !~ /_(mean|median|stddev|cv)"$/ && $c != "" {print $c}' |
                median >>"$work/${g}g"
        done
        i=$((i + 1))
    done
    o=$(median <"$work/oldg")
    n=$(median <"$work/newg")
    awk -v o="$o" -v n="$n" 'BEGIN {
        printf "busy frame (bench_game, processor time, median) old %.1f us  new %.1f us  x%.2f\n", o, n, o / n
    }'
fi
