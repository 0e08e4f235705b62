#!/usr/bin/env bash
# End-to-end throughput of `zephyrdome render` on the built-in demo (800 frames):
# to MP4 (ffmpeg included), to MP4 scaled to 1920x1080, and to PNG frames.
# Prints frames/s of wall time and the CPU in use (the host and its ffmpeg
# child together), with the machine's load beside it, since a shared machine
# skews every figure; the CPU time a frame (user and system, ffmpeg included)
# is the figure load skews least. The MP4s are encoded at --quality draft
# (x264's ultrafast), the encoder the targets in bench/README.md were set for;
# the default, good, spends more.
#
#   bench/render_throughput.sh [build/linux/bin/zephyrdome] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/linux/bin/zephyrdome}
runs=${2:-3}
frames=800
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

measure() {
    local label=$1 output=$2
    for _ in $(seq "$runs"); do
        rm -rf "$scratch/out" "$scratch/demo.mp4"
        local load
        load=$(cut -d' ' -f1 /proc/loadavg)
        /usr/bin/time -f '%e %P %U %S' -o "$scratch/time" "$program" render -q -o "$output" "${@:3}"
        read -r seconds cpu user system <"$scratch/time"
        awk -v l="$label" -v s="$seconds" -v c="$cpu" -v u="$user" -v k="$system" -v f="$frames" \
            -v a="$load" 'BEGIN { printf "%-8s %6.1f frames/s  %5.2f s  CPU %5s  %5.2f ms CPU a frame  (load %s)\n",
                                 l, f / s, s, c, (u + k) * 1000 / f, a }'
    done
}

measure mp4 "$scratch/demo.mp4" --quality draft
measure mp4-1080 "$scratch/demo.mp4" --quality draft --size 1920x1080
measure png "$scratch/out/"
