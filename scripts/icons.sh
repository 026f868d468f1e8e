#!/usr/bin/env bash
# Renders the program's icon (packaging/icons/io.github.kelsoft.KelSoft.svg) into the PNG sizes
# the package installs, the window uses and the browser page's manifest names (192 and 512).
# Run it after changing the SVG and commit the PNGs.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
icons="$root/packaging/icons"
for size in 16 24 32 48 64 128 192 256 512; do
  rsvg-convert -w "$size" -h "$size" "$icons/io.github.kelsoft.KelSoft.svg" -o "$icons/kelsoft-$size.png"
done
ls "$icons"
