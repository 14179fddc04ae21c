#!/bin/sh
# Start-up time, headless: from the moment the process is started (taken just before the shell
# starts it, so it includes fork, exec and dynamic linking) to the first title frame presented,
# which comes after set-up has loaded every picture and sound. Prints the median, best and worst,
# and the processor time the program itself had used by that frame.
# usage: bench/scripts/startup.sh [BUILD_DIR] [RUNS]   (BUILD_DIR holds startup-probe and the data)
build=${1:-build}
runs=${2:-30}
probe=$(cd "$build" && pwd)/startup-probe
[ -x "$probe" ] || { echo "startup: no $probe (build the startup-probe target)"; exit 1; }
cd "$build" || exit 1
out=$(mktemp)
trap 'rm -f "$out"' EXIT
i=0
while [ $i -lt "$runs" ]; do
    t0=$(date +%s%N)
    r=$("$probe") || { echo "startup: the probe failed"; exit 1; }
    t1=${r% *}
    cpu=${r#* }
    echo "$(((t1 - t0) / 1000)) $((cpu / 1000))" >>"$out"
    i=$((i + 1))
done
# Wall time depends on what else the machine runs; the processor time is the program's own.
sort -n "$out" | awk '{ v[NR] = $1 } END {
    printf "start-up to the first title frame over %d runs: median %.1f ms, best %.1f ms, worst %.1f ms\n",
        NR, v[int((NR + 1) / 2)] / 1000, v[1] / 1000, v[NR] / 1000
}'
sort -n -k2 "$out" | awk '{ c[NR] = $2 } END {
    printf "processor time used by then: median %.1f ms, worst %.1f ms\n", c[int((NR + 1) / 2)] / 1000, c[NR] / 1000
}'
