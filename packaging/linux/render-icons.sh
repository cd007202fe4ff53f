#!/usr/bin/env bash
# Renders the icon's PNG sizes and the Windows .ico from tecladim.svg, and the class
# report's and the exam simulation's PNG sizes from tecladim-turma.svg and tecladim-prova.svg.
# The results are kept in the tree, so a build never needs these tools; run this again after
# changing an SVG.
# The 64 px rendering is also the program's window icon (ui/assets/assets.qrc names it).
# Needs rsvg-convert (librsvg2-bin) and ImageMagick.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
sizes=(16 32 48 64 128 256)
pngs=()
for s in "${sizes[@]}"; do
  mkdir -p "$here/icons/${s}x${s}"
  rsvg-convert -w "$s" -h "$s" "$here/tecladim.svg" -o "$here/icons/${s}x${s}/tecladim.png"
  pngs+=("$here/icons/${s}x${s}/tecladim.png")
done
convert "${pngs[@]}" "$here/../windows/tecladim.ico"
# The class report's icon (tecladim-turma), PNG sizes only.
for s in "${sizes[@]}"; do
  rsvg-convert -w "$s" -h "$s" "$here/tecladim-turma.svg" -o "$here/icons/${s}x${s}/tecladim-turma.png"
done
# The exam simulation's icon (tecladim-prova), PNG sizes only; the 256 px one is its window
# icon too (prova/prova.qrc names it).
for s in "${sizes[@]}"; do
  rsvg-convert -w "$s" -h "$s" "$here/tecladim-prova.svg" -o "$here/icons/${s}x${s}/tecladim-prova.png"
done
