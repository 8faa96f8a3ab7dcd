#!/usr/bin/env bash
# An install into a temporary prefix, then moved elsewhere, runs from another
# directory and finds its data through its own location.
#   install_prefix.sh BUILD_DIR CONFIGURED_DATA_DIR
set -euo pipefail
build=$1
configured=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

cmake --install "$build" --prefix "$tmp/first" >/dev/null
mv "$tmp/first" "$tmp/prefix"  # nothing may depend on the prefix given at install time
prefix=$tmp/prefix
mkdir "$tmp/elsewhere"
cd "$tmp/elsewhere"

status=0
fail() {
  echo "$*"
  status=1
}

for file in bin/tavrin bin/tavrin-cli bin/tavrin-report \
  share/tavrin/5ge.dat share/tavrin/男.dat share/tavrin/女.dat share/tavrin/yq.dat share/tavrin/poetry.db \
  share/tavrin/library.db \
  share/applications/io.github.tavrin.Tavrin.desktop share/metainfo/io.github.tavrin.Tavrin.metainfo.xml \
  share/icons/hicolor/scalable/apps/io.github.tavrin.Tavrin.svg \
  share/icons/hicolor/48x48/apps/io.github.tavrin.Tavrin.png \
  share/icons/hicolor/256x256/apps/io.github.tavrin.Tavrin.png \
  share/man/man1/tavrin-cli.1.gz share/man/man1/tavrin-report.1.gz share/man/man1/tavrin.1.gz \
  share/doc/tavrin/LICENSE share/doc/tavrin/NOTICE share/doc/tavrin/copyright; do
  [ -e "$prefix/$file" ] || fail "not installed: $file"
done
[ -e "$prefix/share/tavrin/generated" ] && fail "the generated tables are compiled in, not installed"

# The required numerology table, the optional pinyin file and the poem
# database, each read from the installed data directory.
score=$("$prefix/bin/tavrin-cli" score 张伟) || fail "tavrin-cli score 张伟 failed: $score"
[ "$(wc -l <<<"$score")" -eq 6 ] || fail "tavrin-cli score 张伟 printed: $score"
pinyin=$("$prefix/bin/tavrin-cli" pinyin 张伟) || fail "tavrin-cli pinyin failed"
[ "$pinyin" = "Zhang1 Wei3" ] || fail "tavrin-cli pinyin 张伟 printed: $pinyin (yq.dat not found?)"
[ "$("$prefix/bin/tavrin-cli" poems | wc -l)" -gt 100 ] || fail "tavrin-cli poems found no poem database"
source=$("$prefix/bin/tavrin-cli" source 孟浩然 | head -1) || fail "tavrin-cli source failed"
[[ "$source" == 我善养吾浩然之气* ]] || fail "tavrin-cli source 孟浩然 printed: $source (library.db not found?)"
# tavrin-cli finds tavrin-report beside itself, which finds the data too.
"$prefix/bin/tavrin-cli" analyse 张伟 --pdf "$tmp/name.pdf" >/dev/null || fail "analyse --pdf failed"
[ "$(head -c 4 "$tmp/name.pdf" 2>/dev/null)" = "%PDF" ] || fail "analyse --pdf wrote no PDF"

# Without the installed data the program names the files it could not open
# (unless a configured install on this machine holds them).
if [ ! -e "${configured}5ge.dat" ]; then
  mv "$prefix/share/tavrin" "$tmp/moved-away"
  if message=$("$prefix/bin/tavrin-cli" score 张伟 2>&1); then
    fail "tavrin-cli score 张伟 succeeded without data: $message"
  fi
  grep -q "5ge.dat" <<<"$message" || fail "the message does not name 5ge.dat: $message"
fi
exit $status
