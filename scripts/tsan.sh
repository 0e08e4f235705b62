#!/usr/bin/env bash
# Builds only what the threaded tests need under ThreadSanitizer (the tsan
# preset, gcc, build/tsan) and runs them: frames on a render thread of the
# host's with the real plug-in, and the platform layer's message queues across
# threads. Only Mesa's and LLVM's own code is suppressed
# (tests/sanitizers/tsan.supp); any report from our code fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan -j2
