#!/usr/bin/env bash
# The manual pages render without a warning, and tavrin-cli.1 documents every
# command and every option that `tavrin-cli --help` lists.
#   man_pages.sh TAVRIN_CLI MAN_PAGE...
set -euo pipefail
# groff reads the pages' Chinese text only in a UTF-8 locale.
export LC_ALL=C.UTF-8
cli=$1
shift
status=0
for page in "$@"; do
  # groff 1.23 says "cannot adjust line" where a line of Chinese cannot be
  # stretched to the margin; the pages are set flush left, so this one class
  # tells nothing of the page. Every other warning fails the test.
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) || { echo "man -l $page failed"; status=1; }
  warnings=$(grep -Ev 'warning( \[[^]]*\])?: cannot adjust line' <<<"$warnings" || true)
  if [ -n "$warnings" ]; then
    echo "$page: $warnings"
    status=1
  fi
done

cli_page=$(printf '%s\n' "$@" | grep '/tavrin-cli\.1$')
text=$(MANWIDTH=80 man -l "$cli_page" 2>/dev/null)
help=$("$cli" --help)
# The command lines of the help: two spaces, then the command name.
commands=$(sed -n 's/^  \([a-z]\+\) .*/\1/p' <<<"$help")
[ -n "$commands" ] || { echo "no commands found in tavrin-cli --help"; exit 1; }
for command in $commands; do
  # Each command has a subsection of its own: its name at the start of an
  # indented heading line.
  grep -Eq "^   ([a-z]+ [A-Z]+, )?$command( |,|$)" <<<"$text" || { echo "tavrin-cli.1 has no section for: $command"; status=1; }
done
for option in $(grep -o -- '--[a-z][a-z0-9-]*' <<<"$help" | sort -u); do
  grep -q -- "$option" <<<"$text" || { echo "tavrin-cli.1 does not mention: $option"; status=1; }
done
for word in "EXIT STATUS" "tavrin-report"; do
  grep -q "$word" <<<"$text" || { echo "tavrin-cli.1 lacks: $word"; status=1; }
done
exit $status
