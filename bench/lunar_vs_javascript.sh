#!/usr/bin/env bash
# The lunar calendar of tavrin-cli against the npm package lunar-javascript:
# both convert the same 57,344 days (1900-01-01 .. 2056-12-31) to lunar date,
# pillars, solar term and festival and write them as CSV; the script prints
# each one's best wall time of three whole processes and the ratio.
#   bench/lunar_vs_javascript.sh [BIN_DIR]      (default build/bin)
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build/bin}
from=1900-01-01
to=2056-12-31
[ -d tools/calendar/node_modules/lunar-javascript ] || npm ci --silent --prefix tools/calendar
export NODE_PATH=$PWD/tools/calendar/node_modules

best() {  # best wall time in ms of three runs of the command
  local best=""
  for _ in 1 2 3; do
    local start end ms
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    ms=$(((end - start) / 1000000))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}

days=$("$bin/tavrin-cli" lunar "$from" "$to" --csv | tail -n +2 | wc -l)
ours=$(best "$bin/tavrin-cli" lunar "$from" "$to" --csv)
theirs=$(best node bench/lunar_javascript_days.js "$from" "$to")
inside=$(node bench/lunar_javascript_days.js "$from" "$to" 2>&1 >/dev/null)
echo "days converted:            $days"
echo "tavrin-cli lunar --csv:    $ours ms (whole process)"
echo "lunar-javascript (node):   $theirs ms (whole process; $inside ms in the conversion loop)"
awk -v a="$ours" -v b="$theirs" 'BEGIN { if (a < 1) a = 1; printf "ratio:                     lunar-javascript takes %.1f times as long\n", b / a }'
