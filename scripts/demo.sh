#!/usr/bin/env bash
# The main job: installs what is missing, builds the host, the plug-in, the
# platform layer and the font (nothing else: no tests, benchmarks or fuzz
# replays), and renders the built-in 20-second demo to out/demo.mp4.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target zephyrdome_host
mkdir -p out
build/linux/bin/zephyrdome render -o out/demo.mp4
echo "The demo video is at $(pwd)/out/demo.mp4"
