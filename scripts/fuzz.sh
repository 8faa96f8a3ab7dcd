#!/usr/bin/env bash
# Coverage-guided fuzzing with AFL++ under AddressSanitizer and UBSan.
#   scripts/fuzz.sh TARGET SECONDS [--update-corpus]
#   scripts/fuzz.sh all SECONDS [--update-corpus]     every target in turn
#   scripts/fuzz.sh --compiler DIR   sets up the compiler alone in DIR and
#                                    prints its path (for the engine's test)
# Builds build-afl/ with afl-g++-fast (GCC's plugin, as the core needs GCC's
# GBK literals), every library instrumented, the targets linked to AFL++'s
# persistent driver; then runs afl-fuzz on fuzz/corpus/TARGET for SECONDS and
# prints the executions per second and the edges covered. The session's
# output stays in build-afl/findings/TARGET-<time>/: crashes/ and hangs/ hold
# the failing inputs, which the ordinary sanitizer build's target replays
# (build-asan/bin/TARGET FILE). With --update-corpus the inputs the session
# found are minimised with afl-cmin together with the corpus, and those that
# add coverage are copied into fuzz/corpus/TARGET as afl-<hash>; no seed is
# removed. The status is 1 when a session saved a crash or a hang.
# Settings from the environment: FUZZ_TIMEOUT_MS (default 2000), the time
# after which one input counts as a hang.
set -euo pipefail
caller=$PWD
cd "$(dirname "$0")/.."

usage() {
  echo "usage: scripts/fuzz.sh TARGET|all SECONDS [--update-corpus] | --compiler DIR" >&2
  exit 2
}
(($# >= 2)) || usage
dir=build-afl
tools=$PWD/$dir/afl
if [[ "$1" == --compiler ]]; then
  tools=$(cd "$caller" && realpath -m "$2")
else
  target=$1
  seconds=$2
  update=0
  [[ "${3:-}" == --update-corpus ]] && update=1
  [[ "$seconds" =~ ^[0-9]+$ ]] && ((seconds > 0)) || usage
  timeout_ms=${FUZZ_TIMEOUT_MS:-2000}
  targets=()
  for source in fuzz/fuzz_*.cpp; do
    name=$(basename "$source" .cpp)
    [[ "$target" == all || "$target" == "$name" ]] && targets+=("$name")
  done
  ((${#targets[@]})) || { echo "fuzz: no target $target (fuzz/fuzz_*.cpp)" >&2; exit 2; }
fi

# afl++, and the plugin headers of the GCC that afl-g++-fast runs.
gcc_major=$("${AFL_CXX:-g++}" -dumpversion | cut -d. -f1)
packages=(afl++ "gcc-$gcc_major-plugin-dev" binutils cmake nlohmann-json3-dev libsqlite3-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  # On stderr: --compiler prints only the compiler's path on stdout.
  $sudo apt-get update >&2
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}" >&2
fi

# The compiler of the build: afl-g++-fast, with AFL_PATH
# set to AFL++'s own directory, or, when its GCC plugin refuses this GCC
# (built against another package revision of it), to a copy of that
# directory whose plugin is the shim of fuzz/afl/plugin_shim.cpp.
afl_lib=${AFL_PATH:-/usr/lib/afl}
mkdir -p "$tools"
afl_path=$afl_lib
if ! echo 'int main() { return 0; }' | AFL_QUIET=1 AFL_PATH=$afl_lib afl-g++-fast -x c++ - -o "$tools/probe" >"$tools/probe.log" 2>&1; then
  if ! grep -q "incompatible versions" "$tools/probe.log"; then
    cat "$tools/probe.log" >&2
    exit 1
  fi
  afl_path=$tools/lib
  if [ ! -e "$afl_path/afl-gcc-pass.so" ] || [ "$afl_path/afl-gcc-pass.so" -ot fuzz/afl/plugin_shim.cpp ]; then
    rm -rf "$afl_path"
    mkdir -p "$afl_path"
    for f in "$afl_lib"/*; do ln -s "$f" "$afl_path/"; done
    rm "$afl_path/afl-gcc-pass.so"
    configure_line=$(strings -n 40 "$afl_lib/afl-gcc-pass.so" | grep -m1 '^\.\./src/configure ')
    printf '#define AFL_SHIM_CONFIGURE "%s"\n' "${configure_line//\"/\\\"}" >"$tools/shim_configure.h"
    "${AFL_CXX:-g++}" -std=c++17 -O1 -shared -fPIC -I"$("${AFL_CXX:-g++}" -print-file-name=plugin)/include" \
      -DAFL_SHIM_PLUGIN="\"$afl_lib/afl-gcc-pass.so\"" -include "$tools/shim_configure.h" \
      fuzz/afl/plugin_shim.cpp -o "$afl_path/afl-gcc-pass.so" -ldl
  fi
  AFL_QUIET=1 AFL_PATH=$afl_path afl-g++-fast -x c++ - -o "$tools/probe" <<<'int main() { return 0; }'
fi
printf '#!/bin/sh\nAFL_PATH=%s AFL_QUIET=1 exec afl-g++-fast "$@"\n' "$afl_path" >"$tools/c++"
chmod +x "$tools/c++"
if [[ "$1" == --compiler ]]; then
  echo "$tools/c++"
  exit 0
fi

if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$tools/c++" \
    -DTAVRIN_BUILD_FUZZ=ON -DTAVRIN_FUZZ_ENGINE=afl -DTAVRIN_BUILD_UI=OFF -DTAVRIN_BUILD_TESTS=OFF \
    -DTAVRIN_BUILD_BENCH=OFF -DTAVRIN_WERROR=OFF
fi
cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"

stat_of() {  # stat_of FILE KEY
  awk -v key="$2" '$1 == key { print $3 }' "$1"
}

# afl-fuzz sets the sanitizers' options it needs (abort on error, no
# symbolizing) when the caller has set none.
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS
status=0
for name in "${targets[@]}"; do
  out=$dir/findings/$name-$(date -u +%Y%m%d-%H%M%S)
  mkdir -p "$out"
  echo "fuzz: $name for $seconds s, output in $out"
  # No CPU frequency check, no core binding, no screen: the machine may be
  # shared, a container, or a terminal-less CI job.
  AFL_SKIP_CPUFREQ=1 AFL_NO_AFFINITY=1 AFL_NO_UI=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 \
    AFL_SKIP_CRASHES=1 \
    afl-fuzz -i "fuzz/corpus/$name" -o "$out" -V "$seconds" -t "$timeout_ms" -m none -- "$dir/bin/$name" \
    >"$out/afl-fuzz.log" 2>&1 || { tail -20 "$out/afl-fuzz.log" >&2; status=1; continue; }
  stats=$out/default/fuzzer_stats
  crashes=$(stat_of "$stats" saved_crashes)
  hangs=$(stat_of "$stats" saved_hangs)
  printf '%s: %s executions in %s s, %s per second; %s edges (%s of the map); %s inputs in the queue; %s crashes, %s hangs\n' \
    "$name" "$(stat_of "$stats" execs_done)" "$(stat_of "$stats" run_time)" "$(stat_of "$stats" execs_per_sec)" \
    "$(stat_of "$stats" edges_found)" "$(stat_of "$stats" bitmap_cvg)" "$(stat_of "$stats" corpus_count)" \
    "$crashes" "$hangs"
  if ((crashes + hangs)); then
    # One of the two folders may hold nothing (ls then fails).
    ls "$out"/default/crashes/id* "$out"/default/hangs/id* 2>/dev/null || true
    status=1
  fi
  if ((update)); then
    # The corpus and the session's queue, minimised together; what is left
    # that the corpus lacks is added.
    pool=$out/cmin-in
    mkdir -p "$pool"
    cp fuzz/corpus/"$name"/* "$out"/default/queue/id* "$pool"/
    AFL_SKIP_CPUFREQ=1 AFL_NO_AFFINITY=1 afl-cmin -i "$pool" -o "$out/cmin-out" -t "$timeout_ms" -m none \
      -- "$dir/bin/$name" >"$out/afl-cmin.log" 2>&1
    declare -A have=()
    for f in fuzz/corpus/"$name"/*; do have[$(sha1sum <"$f" | cut -c1-40)]=1; done
    added=0
    for f in "$out"/cmin-out/*; do
      sum=$(sha1sum <"$f" | cut -c1-40)
      [ -n "${have[$sum]:-}" ] && continue
      cp "$f" "fuzz/corpus/$name/afl-${sum:0:12}"
      have[$sum]=1
      added=$((added + 1))
    done
    unset have
    echo "$name: $added inputs added to fuzz/corpus/$name"
  fi
done
exit $status
