#!/usr/bin/env bash
# Instructions a frame, counted by callgrind over one second of the demo
# (40 frames) rendered to PNG on one thread: the figure a loaded machine does
# not skew. Prints the plug-in's frame (onRender), its scene, its present
# (SwapBuffers, rasterisation included), the picture's read-back, two frames
# later, and the PNG encoding.
#
#   bench/frame_instructions.sh [build/linux/bin/zephyrdome]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/linux/bin/zephyrdome}
frames=40
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Once without valgrind first, so that shaders Mesa compiles on a first run
# come from its shader cache and stay out of the count.
LP_NUM_THREADS=0 "$program" render -q --duration 1s -o "$scratch/warm-up/" 2>"$scratch/log"
LP_NUM_THREADS=0 valgrind --tool=callgrind --callgrind-out-file="$scratch/callgrind.out" \
    "$program" render -q --duration 1s -o "$scratch/frames/" 2>"$scratch/log"
callgrind_annotate --inclusive=yes "$scratch/callgrind.out" >"$scratch/annotated"
show() {
    local label=$1 pattern=$2
    awk -v l="$label" -v p="$pattern" -v f="$frames" '
        index($0, p) && !done { gsub(",", "", $1); printf "%-28s %7.1f M instructions a frame\n", l, $1 / f / 1e6; done = 1 }
    ' "$scratch/annotated"
}
show "whole run" "PROGRAM TOTALS"
show "plug-in frame (onRender)" "lifecycle.cpp:onRender"
show "  scene (drawScene)" "scene.cpp:drawScene"
show "  present (SwapBuffers)" "swap_buffers.cpp:SwapBuffers"
show "picture read back" "hooks.cpp:platformPresentedImage"
show "PNG encoding" "png_image.cpp:writePngImage"
