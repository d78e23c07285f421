#!/usr/bin/env bash
# Draws src/app/tarvex.ico: the main window's status lamp (a green disc with a dark grey
# outline) at 16, 32 and 48 pixels, each drawn at its own size so the small ones stay sharp.
#   scripts/make-icon.sh        (needs ImageMagick's convert, installed by scripts/setup.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for size in 16 32 48; do
  outline=$((size / 16))  # 1, 2 and 3 pixels
  centre=$(awk "BEGIN { print ($size - 1) / 2 }")
  radius=$(awk "BEGIN { print ($size - $outline) / 2 - 0.5 }")
  convert -size "${size}x${size}" xc:none -fill 'rgb(0,170,0)' -stroke 'rgb(80,80,80)' \
    -strokewidth "$outline" -draw "circle $centre,$centre $centre,$(awk "BEGIN { print $centre - $radius }")" \
    "PNG32:$work/$size.png"
done
convert "$work/16.png" "$work/32.png" "$work/48.png" "$root/src/app/tarvex.ico"
echo "make-icon: src/app/tarvex.ico"
