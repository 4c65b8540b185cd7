#!/usr/bin/env bash
# Renders the PNG sizes of the program's icon from data/icons/org.dsplab.DSPLab.svg (needs
# rsvg-convert, from librsvg2-bin). The PNGs are kept in the repository, so building needs no
# SVG renderer; run this after changing the SVG.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
icons="$root/data/icons"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$icons/org.dsplab.DSPLab.svg" -o "$icons/dsplab-$size.png"
done
