#!/usr/bin/env bash
# Installs what is missing, builds both products and runs every test: the
# native suite, the cross suites with their Wine tests (64-bit first: the
# 32-bit run compares its frames with the 64-bit ones), the native suite again
# under AddressSanitizer and UndefinedBehaviorSanitizer, the threaded tests
# under ThreadSanitizer, and a short run of every fuzz target.
# FUZZ_SECONDS (default 5) sets each fuzz target's run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

status=0
for preset in linux mingw64 mingw; do
  echo "== tests: $preset"
  ctest --preset "$preset" -j2 | tee "build/ctest-$preset.log" || status=1
done
echo "== tests: asan"
scripts/sanitize.sh | tee build/ctest-asan.log || status=1
echo "== tests: tsan"
scripts/tsan.sh | tee build/ctest-tsan.log || status=1
echo "== fuzz"
fuzzed=0
fuzz_failed=0
if scripts/fuzz.sh "${FUZZ_SECONDS:-5}" | tee build/fuzz.log; then :; else status=1; fi
fuzzed=$(grep -c '^== fuzz ' build/fuzz.log || true)
fuzz_failed=$(grep -c ' FAILED; see ' build/fuzz.log || true)

passed=$((fuzzed - fuzz_failed))
failed=$fuzz_failed
for log in build/ctest-linux.log build/ctest-mingw64.log build/ctest-mingw.log build/ctest-asan.log build/ctest-tsan.log; do
  summary=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" || true)
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
  fails=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$summary")
  passed=$((passed + ${total:-0} - ${fails:-0}))
  failed=$((failed + ${fails:-0}))
done
echo "$passed passed, $failed failed"
exit $status
