#!/usr/bin/env bash
# The 20-second demo rendered at each --quality, as MP4 and WebM, at the
# plug-in's 634x458 and at 1920x1080, and once as a 634x458 GIF: the wall
# time, the CPU time of the program and its ffmpeg together, and the file's
# size. Add `--ssim` to also print each video's SSIM against the frames
# rendered as PNG (slower).
#   bench/video_quality.sh [PROGRAM] [--ssim]
set -euo pipefail
program=${1:-build/linux/bin/zephyrdome}
ssim=${2:-}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

[ -z "$ssim" ] || "$program" render -q -o "$folder/frames/"

# Structural similarity of a video to the PNG frames, scaled as the video was.
similarity() {
  local video=$1 size=$2 scale="format=yuv420p"
  [ "$size" = 634x458 ] ||
    scale="scale=${size/x/:}:force_original_aspect_ratio=decrease:flags=lanczos,pad=${size/x/:}:(ow-iw)/2:(oh-ih)/2:color=black,format=yuv420p"
  ffmpeg -v info -i "$video" -framerate 40 -i "$folder/frames/frame%05d.png" \
    -lavfi "[1:v]$scale[r];[0:v][r]ssim" -f null - 2>&1 | grep -o 'All:[0-9.]*' | tail -n 1
}

render() {
  local out=$1 size=$2
  shift 2
  local args=(render -q -o "$folder/$out" "$@")
  [ "$size" = 634x458 ] || args+=(--size "$size")
  /usr/bin/time -f '%e %U %S' -o "$folder/time" "$program" "${args[@]}"
  read -r wall user system <"$folder/time"
  printf '%-10s %-9s %-6s %6.1f s  %6.1f s CPU  %6.1f MB  %s\n' "${out##*.}" "$size" \
    "${*: -1}" "$wall" "$(echo "$user + $system" | bc)" \
    "$(echo "scale=1; $(stat -c %s "$folder/$out") / 1000000" | bc)" \
    "$([ -z "$ssim" ] || similarity "$folder/$out" "$size")"
  rm -f "$folder/$out"
}

echo "uptime: $(uptime)"
echo "format     size      quality   wall       CPU        size"
for size in 634x458 1920x1080; do
  for format in mp4 webm; do
    for quality in draft good best; do
      render "demo.$format" "$size" --quality "$quality"
    done
  done
done
render demo.gif 634x458 --quality good
