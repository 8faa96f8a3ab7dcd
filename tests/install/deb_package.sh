#!/usr/bin/env bash
# cpack builds tavrin_<version>_<arch>.deb with the libraries it links and
# the fonts in Depends, holding the programs and their data; lintian finds
# no error in it. The library packages carry Debian 13's t64 suffix there
# (libqt6core6t64); either name will do.
#   deb_package.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
LC_ALL=C.UTF-8 cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 || {
  cat "$tmp/cpack.log"
  exit 1
}
deb=$tmp/tavrin_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || {
  echo "no $deb; cpack made:"
  ls "$tmp"
  exit 1
}
status=0
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
names=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")
for package in fonts-noto-cjk qt6-translations-l10n libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 \
  libqt6printsupport6 libsqlite3-0; do
  grep -Exq "${package//+/\\+}(t64)?" <<<"$names" || {
    echo "Depends lacks $package"
    status=1
  }
done
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/tavrin ./usr/bin/tavrin-cli ./usr/bin/tavrin-report ./usr/share/tavrin/poetry.db ./usr/share/tavrin/library.db \
  ./usr/share/applications/io.github.tavrin.Tavrin.desktop ./usr/share/doc/tavrin/copyright; do
  grep -q " $file$" <<<"$contents" || {
    echo "the package lacks $file"
    status=1
  }
done
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" || status=1
else
  echo "lintian is not installed (scripts/dev.sh installs it)"
  status=1
fi
exit $status
