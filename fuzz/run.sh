#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a fixed time, seeded from its corpus folders
# (those that exist: a plain clone has its own generated seeds and no corpus beside it).
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
  # A seed folder that is not there (a corpus kept beside the repository, say) is passed over:
  # the project's own seeds are enough.
  if [ -f "$here/$name/seeds.txt" ]; then
    while read -r s; do
      [ -n "$s" ] || continue
      dir=$(eval echo "$s")
      if [ -d "$dir" ]; then seeds+=("$dir"); else echo "   (no seed folder $s here)"; fi
    done < "$here/$name/seeds.txt"
  fi
  echo "== fuzz $name for ${secs}s"
  if ! "$bin" -max_total_time="$secs" -rss_limit_mb=2048 -print_final_stats=0 "$work" "${seeds[@]}" >"$work.log" 2>&1; then
    tail -n 40 "$work.log"; status=1
  fi
  rm -rf "$work" "$work.log"
done
exit $status
