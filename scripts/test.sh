#!/usr/bin/env bash
# Installs what is missing, builds both products and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

status=0
for preset in linux mingw; do
  echo "== tests: $preset"
  ctest --preset "$preset" -j2 | tee "build/ctest-$preset.log" || status=1
done

passed=0
failed=0
for preset in linux mingw; do
  summary=$(grep -E 'tests passed, [0-9]+ tests failed out of' "build/ctest-$preset.log" || true)
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
  fails=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$summary")
  passed=$((passed + ${total:-0} - ${fails:-0}))
  failed=$((failed + ${fails:-0}))
done
echo "$passed passed, $failed failed"
exit $status
