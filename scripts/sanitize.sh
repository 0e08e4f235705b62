#!/usr/bin/env bash
# Builds the native tree under AddressSanitizer and UndefinedBehaviorSanitizer
# (the asan preset, gcc, build/asan) and runs the whole test suite there.
# LeakSanitizer skips only the third-party leaks in tests/sanitizers/lsan.supp.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -j2
