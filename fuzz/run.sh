#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a fixed time, seeded from its corpus folders.
# usage: fuzz/run.sh BUILD_DIR SECONDS
set -euo pipefail
build=${1:-build-fuzz}; secs=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
export BUILD=$(cd "$build" && pwd)
cd "$here/.."
status=0
for bin in "$BUILD"/fuzz_*; do
  [ -x "$bin" ] || continue
  name=$(basename "$bin"); name=${name#fuzz_}
  work=$(mktemp -d)
  seeds=()
  [ -f "$here/$name/seeds.txt" ] && while read -r s; do [ -n "$s" ] && seeds+=("$(eval echo "$s")"); done < "$here/$name/seeds.txt"
  echo "== fuzz $name for ${secs}s"
  if ! "$bin" -max_total_time="$secs" -rss_limit_mb=2048 -print_final_stats=0 "$work" "${seeds[@]}" >"$work.log" 2>&1; then
    tail -n 40 "$work.log"; status=1
  fi
  rm -rf "$work" "$work.log"
done
exit $status
