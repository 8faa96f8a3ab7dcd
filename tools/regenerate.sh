#!/usr/bin/env bash
# Makes every file of data/ again from its sources, each generator after the
# files it reads (tools/README.md gives each file's source and method).
#   tools/regenerate.sh           writes data/
#   tools/regenerate.sh --check   writes data/, then fails if any file differs
#                                 from the committed one, and puts those back
# Needs the Debian packages of tools/README.md and the npm registry (each
# package folder's `npm ci`, once); a build needs neither.
set -euo pipefail
cd "$(dirname "$0")/.."
check=false
[ "${1:-}" = --check ] && check=true
if $check && ! git diff --quiet -- data/; then
  echo "regenerate --check: data/ has uncommitted changes; commit or put them back first" >&2
  exit 2
fi
for package in tools/chars tools/names tools/advice tools/calendar; do
  [ -d "$package/node_modules" ] || npm ci --silent --prefix "$package"
done

log=$(mktemp)
trap 'rm -f "$log"' EXIT
step() {  # the command of one generator; its output only when it fails
  printf '%-44s' "$*"
  if "$@" >"$log" 2>&1; then
    echo ok
  else
    echo FAILED
    cat "$log" >&2
    exit 1
  fi
}

# Characters: strokes and forms first, the readings, elements and tables on them.
step python3 tools/gen_stroke_table.py
step python3 tools/gen_char_forms.py
step node tools/chars/gen_yq.js
step node tools/chars/gen_dzwx.js
step python3 tools/chars/gen_5ge.py
step node tools/chars/gen_hzspell_tables.js
step python3 tools/chars/gen_kangxi_strokes.py
step python3 tools/chars/gen_sancai.py
# The calendar.
step node tools/calendar/gen_calendar_tables.js
step node tools/calendar/gen_term_moments.js
step node tools/calendar/gen_places.js
# Names: the lists, the poems and the library, the advice on the lists, then
# the bank and the classical names, which read the advice's tables.
step python3 tools/names/gen_names.py
step python3 tools/names/gen_poetry.py
step python3 tools/names/gen_library.py
step python3 tools/advice/gen_advice.py
step python3 tools/advice/gen_wishes.py
step python3 tools/advice/gen_appeal.py
step python3 tools/names/gen_curated_names.py
step python3 tools/names/gen_classical_names.py

if $check; then
  changed=$(git status --porcelain -- data/)
  if [ -n "$changed" ]; then
    echo "data/ is not what the generators write:" >&2
    echo "$changed" >&2
    git checkout -- data/
    exit 1
  fi
  echo "data/ is what the generators write"
fi
