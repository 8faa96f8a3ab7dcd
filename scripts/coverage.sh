#!/usr/bin/env bash
# Line and branch coverage of every library by the whole test suite:
# builds build-coverage with gcov instrumentation, runs the tests, and writes
# a summary per library (and an HTML report in build-coverage/coverage/).
#   scripts/coverage.sh
set -euo pipefail
cd "$(dirname "$0")/.."
command -v gcovr >/dev/null || { echo "coverage: gcovr is missing (Debian: gcovr)" >&2; exit 1; }
dir=build-coverage
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_COVERAGE=ON -DTAVRIN_BUILD_BENCH=OFF
cmake --build "$dir" -j2
find "$dir" -name '*.gcda' -delete
QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" -j2 --output-on-failure -E e2e_window
mkdir -p "$dir/coverage"
gcovr --root . --object-directory "$dir" --filter 'src/' --exclude-unreachable-branches \
      --exclude-throw-branches --html-details "$dir/coverage/index.html" --print-summary >/dev/null
printf "%-12s %-28s %s\n" library lines branches
for lib in chars calendar scoring core generators analysis cli report ui; do
  gcovr --root . --object-directory "$dir" --filter "src/$lib/" --exclude-unreachable-branches \
        --exclude-throw-branches --print-summary 2>/dev/null |
    awk -v lib="$lib" '/^lines:/ { sub(/^lines: /, ""); l = $0 } /^branches:/ { sub(/^branches: /, ""); b = $0 }
                       END { printf "%-12s %-28s %s\n", lib, l, b }'
done
