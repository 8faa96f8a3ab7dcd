#!/usr/bin/env bash
# Renders the PNG sizes of the icon from its SVG (Debian package librsvg2-bin).
# The PNGs are kept in the repository, so building needs no renderer; run this
# after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
id=io.github.tavrin.Tavrin
for size in 16 24 32 48 64 128 256 512; do
  mkdir -p "${size}x${size}"
  rsvg-convert -w "$size" -h "$size" "$id.svg" -o "${size}x${size}/$id.png"
done
