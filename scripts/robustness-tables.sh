#!/usr/bin/env bash
# Runs the fault matrices (data files, favourites store) and the bad-input matrix and prints the observed
# outcome of every cell as Markdown tables (docs/robustness.md holds a run's).
#   scripts/robustness-tables.sh [BUILD_DIR]
# As root, whose reads mode 000 does not stop, the mode-000 cells are run a
# second time as the user nobody, so both behaviours are shown.
set -euo pipefail
build=$(realpath "${1:-build}")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export QT_QPA_PLATFORM=offscreen

TAVRIN_FAULT_TABLE=$tmp/faults.md "$build/bin/test_faultmatrix" >/dev/null
TAVRIN_BADINPUT_TABLE=$tmp/inputs.md "$build/bin/test_badinputs" >/dev/null
TAVRIN_CLI_FAULT_TABLE=$tmp/cli.md "$build/bin/test_cli" --gtest_filter='*CliFaultMatrix*' >/dev/null
TAVRIN_FAVOURITES_FAULT_TABLE=$tmp/favourites.md "$build/bin/test_favourites" --gtest_filter='*StoreFaultMatrix*' >/dev/null

if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
  chmod 777 "$tmp"
  tags=()
  for file in tj.dat 5ge.dat 男.dat 女.dat 1600nv.dat 1600nan.dat yq.dat dzwx.dat poetry.db; do
    tags+=("cells:$file mode 000")
  done
  setpriv --reuid=65534 --regid=65534 --clear-groups \
    env XDG_RUNTIME_DIR="$tmp/runtime" TAVRIN_FAULT_TABLE="$tmp/nobody.md" \
    "$build/bin/test_faultmatrix" "${tags[@]}" >/dev/null
  sed 's/| mode 000 |/| mode 000 (as user nobody) |/' "$tmp/nobody.md" >>"$tmp/faults.md"
  setpriv --reuid=65534 --regid=65534 --clear-groups env TAVRIN_CLI_FAULT_TABLE="$tmp/cli-nobody.md" \
    "$build/bin/test_cli" --gtest_filter='*CliFaultMatrix*mode_000' >/dev/null
  sed 's/| mode 000 |/| mode 000 (as user nobody) |/' "$tmp/cli-nobody.md" >>"$tmp/cli.md"
fi

echo "| file | fault | start-up messages | 生成 (count 3) | 分 析 (张伟) | showing 诗歌取名, then 开 始 (count 3) |"
echo "|---|---|---|---|---|---|"
cat "$tmp/faults.md"
echo
echo "| file | fault | generate --count 3 | analyse 张伟 | poetry --poem-id 1 --count 3 |"
echo "|---|---|---|---|---|"
cat "$tmp/cli.md"
echo
echo "| fault | opening | message | the file | keeping one more name |"
echo "|---|---|---|---|---|"
cat "$tmp/favourites.md"
echo
echo "| button | field | value | entered | observed |"
echo "|---|---|---|---|---|"
cat "$tmp/inputs.md"
