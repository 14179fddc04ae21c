#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a fixed time, seeded from its corpus folders
# (those that exist: a plain clone has its own generated seeds and no corpus beside it). The
# targets' own stderr (the readers' messages on bad files) is closed; libFuzzer's and the
# sanitizers' reports still come through, into BUILD_DIR/fuzz-logs/NAME.log with any crashing
# input beside it. A target that fails or whose log holds a sanitizer report (even one it went
# on after) fails the run and keeps its log; a clean target's log is removed. Built with
# FW_FUZZ_COVERAGE, each target's line and branch coverage of its readers (fuzz/NAME/readers.txt)
# is printed, and a reader with none of its branches reached fails the run.
# usage: fuzz/run.sh BUILD_DIR SECONDS
set -euo pipefail
build=${1:-build-fuzz}; secs=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
export BUILD=$(cd "$build" && pwd)
cd "$here/.."
status=0
logs=$BUILD/fuzz-logs
mkdir -p "$logs"
# UndefinedBehaviorSanitizer stops at its first report, so libFuzzer keeps the input.
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# The first line of any sanitizer's report, and UndefinedBehaviorSanitizer's one-line ones.
report='^==[0-9]+==(ERROR|WARNING): [A-Za-z]*Sanitizer|^SUMMARY: [A-Za-z]*Sanitizer|: runtime error: '
profdata=$(command -v llvm-profdata || ls /usr/bin/llvm-profdata-* 2>/dev/null | tail -n 1 || true)
llvmcov=$(command -v llvm-cov || ls /usr/bin/llvm-cov-* 2>/dev/null | tail -n 1 || true)
# Line and branch coverage of a target's reader files, and branch coverage of its reader
# functions (fuzz/NAME/readers.txt: files one a line, then "functions NAME...").
coverage() { # bin name profraw
  local list="$here/$2/readers.txt" files functions
  [ -f "$list" ] || return 0
  files=$(grep -v '^functions ' "$list" | tr '\n' ' ')
  functions=$(sed -n 's/^functions //p' "$list")
  "$profdata" merge -sparse "$3" -o "$3.profdata" || return 0
  "$llvmcov" report "$1" -instr-profile="$3.profdata" |
    awk -v name="$2" -v readers="$files" '
      BEGIN { n = split(readers, want, " ") }
      { for (i = 1; i <= n; i++) {
          if ($1 != want[i] && substr($1, length($1) - length(want[i])) != "/" want[i]) continue
          printf "   %s %s: lines %s, branches %s\n", name, want[i], $(NF - 3), $NF
          if ($NF == "0.00%") zero = 1 } }
      END { exit zero }' || { echo "   a reader of $2 has none of its branches reached"; status=1; }
  if [ -n "$functions" ] && command -v python3 >/dev/null 2>&1; then
    "$llvmcov" export -format=text "$1" -instr-profile="$3.profdata" >"$3.json" &&
      { python3 "$here/reader_functions.py" "$3.json" "$2" $functions ||
        { echo "   a reader function of $2 was not reached"; status=1; }; }
    rm -f "$3.json"
  fi
}
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
  profile=()
  if [ -n "$profdata" ] && [ -n "$llvmcov" ] && grep -qa __llvm_profile_write_file "$bin"; then
    profile=(env LLVM_PROFILE_FILE="$work.profraw")
  fi
  log=$logs/$name.log
  failed=0
  "${profile[@]}" "$bin" -max_total_time="$secs" -rss_limit_mb=2048 -print_final_stats=0 \
    -close_fd_mask=2 -artifact_prefix="$logs/$name-" "$work" "${seeds[@]}" >"$log" 2>&1 || failed=1
  if [ $failed -eq 1 ] || grep -Eq "$report" "$log"; then
    tail -n 40 "$log"
    echo "   fuzz_$name failed$([ $failed -eq 0 ] && echo ' with a sanitizer report'); its log is kept: $log"
    status=1
  else
    rm -f "$log"
  fi
  [ ${#profile[@]} -gt 0 ] && [ -f "$work.profraw" ] && coverage "$bin" "$name" "$work.profraw"
  rm -rf "$work" "$work.profraw" "$work.profraw.profdata"
done
exit $status
