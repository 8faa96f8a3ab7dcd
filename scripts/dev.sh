#!/usr/bin/env bash
# Installs what is missing, builds, and then starts the program or runs the tests.
#   scripts/dev.sh run        build the programs and start tavrin (build-run/)
#   scripts/dev.sh test       build with warnings as errors and run every test (build/)
#   scripts/dev.sh test-asan  the same in the AddressSanitizer/UBSan build, with short fuzz runs (build-asan/)
#   scripts/dev.sh deb        the Debian package from the programs' build (build-run/)
#   scripts/dev.sh tidy       build as for test, then clang-tidy over src/ with the checks of .clang-tidy
#   scripts/dev.sh format     whether the C++ of src/, tests/, bench/ and fuzz/ stands as clang-format 19
#                             writes it with .clang-format (format fix: rewrite it so)
# The settings of the three builds are the presets of CMakePresets.json (run,
# test, asan), so that `cmake --preset …` by hand builds the same.
# Works the same whatever locale the caller has, set or not: the tools that
# need UTF-8 (tar inside cpack, groff, xdotool) are given it where they run.
set -euo pipefail
cd "$(dirname "$0")/.."

# What the programs need to build and run. qt6-base-dev brings Qt's print
# support too (libqt6printsupport6, with its CUPS plugin: the printers of
# 打印…); qt6-translations-l10n has Qt's own texts in Chinese (the buttons and
# menus of the standard dialogs); libcpp-httplib-dev is the web server that
# shares the shortlist with the family, libqrencode-dev draws its address as a
# QR code in the window.
RUN_PACKAGES=(build-essential cmake pkg-config
              qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
              nlohmann-json3-dev libsqlite3-dev libcpp-httplib-dev libqrencode-dev
              fonts-noto-cjk qt6-translations-l10n)
# What the tests need besides.
TEST_PACKAGES=(git libqt6sql6-sqlite
               libgtest-dev libgmock-dev googletest libbenchmark-dev
               poppler-utils             # the tests read the exported PDF back
               xvfb xauth xdotool xclip imagemagick  # the window driven on a virtual display (xvfb-run needs xauth)
               python3-jieba friso-dict  # the dictionaries the name-list tests check against
               chromium chromium-driver python3-selenium  # the family's page in a real browser
               desktop-file-utils appstream man-db lintian)  # the tests of the install and the package
# The data generators in tools/ need more (Node.js and npm, opencc,
# unicode-data); tools/README.md says which. Neither a build nor the tests do.

install_packages() {  # install_packages PACKAGE...
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# Every core, but no more compilers at once than memory holds (about 1.5 GiB
# each for the Qt sources at -O2 -g).
jobs() {
  local cores mem_kib by_memory
  cores=$(nproc)
  mem_kib=$(awk '/^MemAvailable:/ { print $2 }' /proc/meminfo)
  by_memory=$((mem_kib / (1536 * 1024)))
  ((by_memory >= 1)) || by_memory=1
  echo $((cores < by_memory ? cores : by_memory))
}

build() {  # build PRESET
  cmake --preset "$1"
  cmake --build --preset "$1" -j "$(jobs)"
}

run_tests() {  # run_tests PRESET (the test presets set the environment)
  ctest --preset "$1" -j "$(nproc)"
}

# The programs and their data only: no tests, benchmarks or fuzz targets, in
# a folder of its own so that a test build's settings never reach it.
build_programs() {
  install_packages "${RUN_PACKAGES[@]}"
  build run
}

case "${1:-}" in
  run)
    build_programs
    exec ./build-run/bin/tavrin
    ;;
  deb)
    build_programs
    cmake --build build-run --target deb
    ;;
  test)
    install_packages "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build test
    run_tests test
    ;;
  test-asan)
    install_packages "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    # The fuzz engine's test needs AFL++ and the plugin headers of the GCC
    # its plugin runs in (scripts/fuzz.sh).
    install_packages afl++ "gcc-$(g++ -dumpversion | cut -d. -f1)-plugin-dev"
    build asan
    run_tests asan
    ;;
  tidy)
    install_packages "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}" clang-tidy
    # The compile commands of the test build (the generated headers of the
    # window must exist), less the GB18030 execution character set of the
    # core's literals, which clang does not know; the checks do not depend on it.
    cmake --preset test -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
    cmake --build --preset test -j "$(jobs)"
    mkdir -p build/tidy
    sed -e 's/ -finput-charset=UTF-8//g' -e 's/ -fexec-charset=GB18030//g' build/compile_commands.json \
      >build/tidy/compile_commands.json
    # score_factors.cpp builds an aggregate in place with parentheses (C++20),
    # which clang 14 does not know yet.
    mapfile -t files < <(find "$PWD/src" -name '*.cpp' ! -path '*/analysis/score_factors.cpp' | sort)
    run-clang-tidy -quiet -j "$(jobs)" -p build/tidy "${files[@]}"
    ;;
  format)
    # One version on Debian 12 and 13 alike: another lays some lines out
    # differently.
    install_packages clang-format-19
    mapfile -t files < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' \
                           'fuzz/*.cpp' 'fuzz/*.h')
    if [ "${2:-}" = fix ]; then
      clang-format-19 -i "${files[@]}"
    else
      clang-format-19 --dry-run -Werror "${files[@]}"
    fi
    ;;
  *)
    echo "usage: scripts/dev.sh run|test|test-asan|deb|tidy|format [fix]" >&2
    exit 2
    ;;
esac
