#!/usr/bin/env bash
# Builds both products: the native Linux build (plug-in, platform layer, host,
# tests) in build/linux and the 32-bit Windows DLL in build/mingw.
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in linux mingw; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
