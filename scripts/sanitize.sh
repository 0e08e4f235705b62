#!/usr/bin/env bash
# Builds the native tree under AddressSanitizer and UndefinedBehaviorSanitizer
# (the asan preset, gcc, build/asan) and runs the whole test suite there.
# LeakSanitizer skips only the third-party leaks in tests/sanitizers/lsan.supp.
# The preset's ASAN_OPTIONS turn off the interception of __tls_get_addr: GCC
# 12's sanitizer takes the bounds of a dynamic TLS block (Mesa's, LLVM's) from
# a header glibc 2.36 no longer writes whenever the block happens to start 16
# bytes into a page, and LeakSanitizer then crashes scanning those bounds at
# exit, by chance of the heap's layout.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -j2
