#!/usr/bin/env bash
# Builds the web page into build/web: static files (the page, its program in
# WebAssembly and the font) that any web server can serve, for example
#   python3 -m http.server -d build/web 8000    # then open http://localhost:8000/
# Installs what is missing first (emscripten among it).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Debian's emscripten finds its JavaScript modules through NODE_PATH.
export NODE_PATH=/usr/share/nodejs
cmake --preset web >/dev/null
cmake --build --preset web
echo "The web page is in $(pwd)/build/web"
