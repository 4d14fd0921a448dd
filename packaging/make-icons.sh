#!/usr/bin/env bash
# Renders the scalable icon into the PNG sizes of the hicolor theme. Run it after changing
# icons/velkaro.svg and commit the PNGs, so that building and packaging need no converter.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
icons=$(cd "$(dirname "$0")" && pwd)/icons
for size in 16 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" --output "$icons/velkaro-$size.png" \
    "$icons/velkaro.svg"
done
