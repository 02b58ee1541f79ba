#!/usr/bin/env bash
# Renders the PNG icon sizes from the hand-drawn SVG. The PNGs are committed, so that every
# build (the window embeds them as its icon) works without an SVG renderer; run this after
# editing the SVG. scripts/package-check.sh fails when they no longer match it.
# Usage: render-icons.sh [OUTPUT_HICOLOR_FOLDER]   (default: the committed packaging/icons/hicolor)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh librsvg2-bin
ID=io.github.mirolanda.Mirolanda
SOURCE=packaging/icons/hicolor
OUT=${1:-$SOURCE}
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "$OUT/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" "$SOURCE/scalable/apps/$ID.svg" -o "$OUT/${size}x${size}/apps/$ID.png"
done
