#!/bin/bash
# Draws the program's icon, Muravel.ico, with ImageMagick: a play mark over a wave on a blue-green
# tile, from 128 down to 16 pixels so the picture and the window icon have their own size at
# every scale up to 200 per cent. The icon is kept in the repository; run this only to change it.
set -euo pipefail
cd "$(dirname "$0")"
tile=$(mktemp --suffix=.png)
trap 'rm -f "$tile"' EXIT
# One period of a sine wave as a row of overlapping dots, which gives a line with round ends.
wave=$(awk 'BEGIN { for (i = 0; i <= 168; i += 2) {
    y = 172 - 30 * sin(i / 168 * 2 * 3.14159265)
    printf "circle %d,%d %d,%d ", 44 + i, y, 54 + i, y } }')
convert -size 256x256 gradient:'#1d3f8f-#17a3a0' -alpha set \
    \( -size 256x256 xc:none -fill white -draw "roundrectangle 10,10 245,245 52,52" \) \
    -compose DstIn -composite -compose Over \
    -fill white -stroke none -draw "polygon 100,44 100,116 162,80" -draw "$wave" \
    "$tile"
convert "$tile" -depth 8 -define icon:auto-resize=128,96,80,64,48,40,32,24,20,16 Muravel.ico
