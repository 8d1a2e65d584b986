#!/usr/bin/env bash
# Draws MainIcon.ico (16, 24, 32 and 48 px): a padlock over a disk. Dark
# outlines keep it visible on light taskbars, light fills on dark ones.
# Needs ImageMagick. Run from anywhere; writes next to this script.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

convert -size 256x256 xc:none \
  -stroke '#141414' -strokewidth 14 \
  -fill '#3d86d6' -draw 'rectangle 20,70 190,200' \
  -draw 'ellipse 105,200 85,34 0,180' \
  -stroke none -draw 'rectangle 27,70 183,200' \
  -stroke '#141414' -fill '#8cc4ff' -draw 'ellipse 105,70 85,34 0,360' \
  -fill none -stroke '#141414' -strokewidth 40 -draw 'ellipse 180,126 42,46 180,360' \
  -draw 'line 138,126 138,132' -draw 'line 222,126 222,132' \
  -stroke '#f5c518' -strokewidth 18 -draw 'ellipse 180,126 42,46 180,360' \
  -draw 'line 138,124 138,132' -draw 'line 222,124 222,132' \
  -stroke '#141414' -strokewidth 14 -fill '#f5c518' -draw 'roundrectangle 114,126 246,246 18,18' \
  -stroke none -fill '#141414' -draw 'circle 180,172 180,190' -draw 'rectangle 172,176 188,222' \
  "$tmp/big.png"
for s in 16 24 32 48; do
  convert "$tmp/big.png" -filter Lanczos -resize ${s}x${s} -unsharp 0x0.6 "$tmp/$s.png"
done
convert "$tmp/16.png" "$tmp/24.png" "$tmp/32.png" "$tmp/48.png" "$here/MainIcon.ico"
