#!/usr/bin/env bash
# Builds both products: the native Linux build (plug-in, platform layer, host,
# tests) in build/linux, the 32-bit Windows DLL in build/mingw and the 64-bit
# one with its Wine tests in build/mingw64; and the web page in build/web,
# which the native suite's browser test loads.
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in linux mingw64 mingw web; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
