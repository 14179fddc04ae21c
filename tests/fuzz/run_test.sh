#!/bin/sh
# Checks fuzz/run.sh against targets with a known ending, each alone in a build folder: with
# stand-ins (scripts that print what a libFuzzer target prints), or with real libFuzzer targets
# compiled here by clang, one of which reports undefined behaviour and goes on (exit 0).
# usage: tests/fuzz/run_test.sh stand-ins|libfuzzer SOURCE_DIR
set -u
kind=$1
src=$2
top=$(mktemp -d)
trap 'rm -rf "$top"' EXIT
fails=0

# Runs fuzz/run.sh on the one target NAME (already in $top/NAME) and checks its status and log.
check() { # name want(pass|fail) what
  out=$(sh -c 'bash "$0/fuzz/run.sh" "$1" 1' "$src" "$top/$1" 2>&1)
  status=$?
  log=$top/$1/fuzz-logs/${1#fuzz-}.log
  if [ "$2" = pass ]; then
    if [ $status -ne 0 ] || [ -e "$log" ]; then
      echo "FAIL: $3: status $status (want 0), log left: $([ -e "$log" ] && echo yes || echo no)"
      echo "$out"
      fails=$((fails + 1))
    fi
  elif [ $status -eq 0 ] || [ ! -s "$log" ] || ! printf '%s\n' "$out" | grep -q "its log is kept: $log"; then
    echo "FAIL: $3: status $status (want 1), log kept: $([ -s "$log" ] && echo yes || echo no)"
    echo "$out"
    fails=$((fails + 1))
  fi
}

# A folder holding one stand-in target that prints LINE on stderr and exits with STATUS.
stand_in() { # name status line
  mkdir -p "$top/$1"
  printf '#!/bin/sh\necho "INFO: Seed: 1"\necho "%s" >&2\necho "#2 DONE cov: 3 ft: 3"\nexit %s\n' \
    "$3" "$2" >"$top/$1/fuzz_${1#fuzz-}"
  chmod +x "$top/$1/fuzz_${1#fuzz-}"
}

if [ "$kind" = stand-ins ]; then
  while IFS='|' read -r name status want line; do
    stand_in "fuzz-$name" "$status" "$line"
    check "fuzz-$name" "$want" "stand-in $name"
  done <<'TABLE'
clean|0|pass|INFO: Done 1000 runs in 1 second(s)
ubsan|0|fail|x.cpp:7:5: runtime error: signed integer overflow: 2147483647 + 1 cannot be represented in type 'int'
asan|0|fail|==41==ERROR: AddressSanitizer: heap-buffer-overflow on address 0x602000000011
leak|0|fail|SUMMARY: AddressSanitizer: 8 byte(s) leaked in 1 allocation(s).
crash|1|fail|==41== ERROR: libFuzzer: deadly signal
word|0|pass|INFO: the reader said: no runtime error here, Sanitizer named in passing
TABLE
else
  cxx=$(command -v clang++ || true)
  probe=$top/probe.cpp
  printf '#include <cstddef>\n#include <cstdint>\nextern "C" int LLVMFuzzerTestOneInput(const uint8_t *, size_t) { return 0; }\n' >"$probe"
  if [ -z "$cxx" ] || ! "$cxx" -fsanitize=fuzzer,undefined "$probe" -o "$top/probe" 2>/dev/null; then
    echo "skipped: clang++ with libFuzzer is missing (tools/deps.sh test installs it)"
    exit 77
  fi
  # Overflows an int on every input whose first byte is 0 and goes on: a report and exit 0 when
  # UndefinedBehaviorSanitizer does not halt.
  printf '%s\n' '#include <cstddef>' '#include <cstdint>' 'volatile int big = 2147483647;' \
    'extern "C" int LLVMFuzzerTestOneInput(const uint8_t *d, size_t n) {' \
    '    if (n == 0 || d[0] == 0) big = big + 1;' '    return 0;' '}' >"$top/planted.cpp"
  mkdir -p "$top/fuzz-clean" "$top/fuzz-planted"
  cp "$top/probe" "$top/fuzz-clean/fuzz_clean"
  "$cxx" -g -fsanitize=fuzzer,undefined "$top/planted.cpp" -o "$top/fuzz-planted/fuzz_planted" ||
    { echo "FAIL: the planted target does not build"; exit 1; }
  check fuzz-clean pass "a clean libFuzzer target"
  UBSAN_OPTIONS=halt_on_error=0 check fuzz-planted fail "a report the target went on after"
  grep -q 'runtime error: signed integer overflow' "$top/fuzz-planted/fuzz-logs/planted.log" ||
    { echo "FAIL: the kept log lacks the planted report"; fails=$((fails + 1)); }
  check fuzz-planted fail "a report that stops the target (run.sh's own UBSAN_OPTIONS)"
fi
[ $fails -eq 0 ] && echo "fuzz/run.sh: every $kind case ended as it should"
[ $fails -eq 0 ]
