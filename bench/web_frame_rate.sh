#!/usr/bin/env bash
# The web page's frame rate and frame time: headless Chromium (SwiftShader,
# as the browser test runs it) plays the page's demo for SECONDS (default 10)
# and the page reports what it measured. Needs build/linux (the host) and
# build/web (scripts/build-web.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
ZD_WEB_BENCH_SECONDS="${1:-10}" exec node tests/web/web_page_test.mjs \
  build/linux/bin/zephyrdome build/web "$(command -v chromium)"
