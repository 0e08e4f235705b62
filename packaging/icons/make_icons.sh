#!/usr/bin/env bash
# Draws the program's icon from a frame of its own scene: the demo's finale at
# 14.475 s in ring mode c with the playlist hidden, the square around the
# funnel's mouth cut out as a disc, at each size of the hicolor theme, and an
# SVG holding the 256-pixel picture. Run after a linux build; writes the
# files kept beside this script.
#   packaging/icons/make_icons.sh [PROGRAM]
set -euo pipefail
program=${1:-build/linux/bin/zephyrdome}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$program" render -q -o "$work/f%03d.png" --start 14s --duration 500ms --key 0s:F2 --key 0s:C
frame=$work/f019.png
for size in 16 24 32 48 64 128 256; do
  mkdir -p "$here/hicolor/${size}x${size}/apps"
  # A disc with a soft rim, transparent around it.
  ffmpeg -v error -y -i "$frame" -vf "crop=458:458:88:0,scale=$size:$size:flags=lanczos,format=rgba,\
geq=r='r(X,Y)':g='g(X,Y)':b='b(X,Y)':a='255*clip(W/2-hypot(X+0.5-W/2,Y+0.5-H/2)+0.5,0,1)'" \
    "$here/hicolor/${size}x${size}/apps/zephyrdome.png"
done
{
  echo '<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink"'
  echo '     width="256" height="256" viewBox="0 0 256 256">'
  echo '  <title>Zephyrdome</title>'
  printf '  <image width="256" height="256" xlink:href="data:image/png;base64,'
  base64 -w 0 "$here/hicolor/256x256/apps/zephyrdome.png"
  echo '"/>'
  echo '</svg>'
} >"$work/zephyrdome.svg"
mkdir -p "$here/hicolor/scalable/apps"
mv "$work/zephyrdome.svg" "$here/hicolor/scalable/apps/zephyrdome.svg"
