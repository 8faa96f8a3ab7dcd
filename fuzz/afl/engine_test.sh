#!/usr/bin/env bash
# The AFL++ engine works here: the compiler scripts/fuzz.sh sets up builds a
# target with GBK literals, the sanitizers and AFL++'s persistent driver, and
# afl-fuzz, starting from one unrelated input, finds the fault planted in
# planted.cpp within the time limit.
#   engine_test.sh WORKDIR
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$1
rm -rf "$work"
mkdir -p "$work/in"
cxx=$("$source_dir/scripts/fuzz.sh" --compiler "$work/tools")
"$cxx" -std=c++20 -O1 -g -fexec-charset=GB18030 -fsanitize=address,undefined -fsanitize=fuzzer \
  "$source_dir/fuzz/afl/planted.cpp" -o "$work/planted"
printf 'hello' >"$work/in/seed"
# afl-fuzz sets the sanitizers' options it needs (abort on error, no
# symbolizing) when the caller has set none.
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS
AFL_SKIP_CPUFREQ=1 AFL_NO_AFFINITY=1 AFL_NO_UI=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 AFL_BENCH_UNTIL_CRASH=1 \
  afl-fuzz -i "$work/in" -o "$work/out" -V 120 -m none -- "$work/planted" >"$work/afl-fuzz.log" 2>&1
crashes=("$work"/out/default/crashes/id*)
if [ ! -e "${crashes[0]}" ]; then
  echo "afl-fuzz found no crash in 120 s" >&2
  tail -5 "$work/afl-fuzz.log" >&2
  exit 1
fi
# The input found holds the key and sets the bit that reads out of bounds,
# and it fails again outside afl-fuzz, as a heap overflow.
head -c 5 "${crashes[0]}" | od -An -tx1 | grep -Eq '^ d5 c5 46 5a [0-9a-f]?[4-7cdef]$' || {
  echo "unexpected crash input:" >&2
  od -An -tx1 "${crashes[0]}" >&2
  exit 1
}
if ASAN_OPTIONS=abort_on_error=0 "$work/planted" "${crashes[0]}" 2>"$work/replay.log"; then
  echo "the crash input does not fail when replayed" >&2
  exit 1
fi
grep -q "heap-buffer-overflow" "$work/replay.log"
echo "planted fault found: $(basename "${crashes[0]}")"
