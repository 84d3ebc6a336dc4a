#!/usr/bin/env bash
# Renders the committed PNG icons from korvan.svg (librsvg2-bin's rsvg-convert).
# Run after changing the drawing; the build installs the PNG files as they are.
set -euo pipefail
cd "$(dirname "$0")"
for taille in 48 128; do
  mkdir -p "${taille}x${taille}"
  rsvg-convert -w "$taille" -h "$taille" korvan.svg -o "${taille}x${taille}/korvan.png"
done
