#!/usr/bin/env bash
# Renders the program's icon at the usual sizes from its SVG source; run after changing the SVG and
# commit the PNGs with it (the build embeds them in the desktop program, the package installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
icons=share/icons/hicolor
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "$icons/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" "$icons/scalable/apps/kalvor.svg" -o "$icons/${size}x${size}/apps/kalvor.png"
done
