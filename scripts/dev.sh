#!/usr/bin/env bash
# Installs what is missing, builds, and then starts the program or runs the tests.
#   scripts/dev.sh run        build and start tavrin
#   scripts/dev.sh test       build with warnings as errors and run every test
#   scripts/dev.sh test-asan  the same in the AddressSanitizer/UBSan build, with short fuzz runs
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(build-essential cmake pkg-config git
          qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl1-mesa-dev
          libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev libsqlite3-dev
          fonts-noto-cjk locales
          poppler-utils             # the tests read the exported PDF back
          xvfb xdotool xclip imagemagick  # the window driven on a virtual display
          python3-jieba friso-dict  # the dictionaries the name-list tests check against
          desktop-file-utils appstream man-db lintian)  # the tests of the install and the package
# The data generators in tools/ need more (Node.js and npm, opencc,
# unicode-data); tools/README.md says which. Neither a build nor the tests do.

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

build() {  # build DIR [cmake options...]
  local dir=$1
  shift
  cmake -S . -B "$dir" "$@"
  cmake --build "$dir" -j2
}

run_tests() {  # run_tests DIR
  QT_QPA_PLATFORM=offscreen ctest --test-dir "$1" --output-on-failure -j2
}

case "${1:-}" in
  run)
    install_packages
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    exec ./build/bin/tavrin
    ;;
  test)
    install_packages
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIN_WERROR=ON
    run_tests build
    ;;
  test-asan)
    install_packages
    build build-asan -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_WERROR=ON -DTAVRIN_SANITIZE=ON -DTAVRIN_BUILD_FUZZ=ON -DTAVRIN_BUILD_BENCH=OFF
    ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 \
    LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      run_tests build-asan
    ;;
  *)
    echo "usage: scripts/dev.sh run|test|test-asan" >&2
    exit 2
    ;;
esac
