#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan on, in build/fuzz)
# and runs each for SECONDS (default 10), starting from its committed seeds in
# fuzz/corpus/<target>/. New inputs gather in build/fuzz/corpus/<target>/;
# an input that fails lands in build/fuzz/artifacts/<target>/ and fails this
# script. Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(tga_loader text_layout playlist_panel vis_file key_script)

build=build/fuzz
runtime=$(clang -print-runtime-dir)
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
# The sanitizer runtime is shared, so libzdplatform.so may keep -Wl,--no-undefined.
link="-fsanitize=address,undefined -shared-libsan -Wl,-rpath,$runtime"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS="-O1 -fsanitize=fuzzer-no-link $sanitize" \
  -DCMAKE_CXX_FLAGS="-O1 -fsanitize=fuzzer-no-link $sanitize" \
  -DCMAKE_EXE_LINKER_FLAGS="$link" -DCMAKE_SHARED_LINKER_FLAGS="$link" \
  -DCMAKE_MODULE_LINKER_FLAGS="$link" \
  -DZD_FUZZ=ON -DZD_BUILD_TESTS=OFF -DZD_BUILD_BENCH=OFF >/dev/null
ninja -C "$build" -j2 $(printf 'fuzz_%s ' "${targets[@]}")

# libFuzzer puts libstdc++ ahead of the shared runtime, which must come first;
# only the fuzzers get it, not the tools this script runs.
preload=$runtime/libclang_rt.asan-x86_64.so
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
for target in "${targets[@]}"; do
  work=$build/corpus/$target
  artifacts=$build/artifacts/$target
  mkdir -p "$work" "$artifacts"
  log=$build/fuzz-$target.log
  echo "== fuzz $target for ${seconds}s"
  if LD_PRELOAD=$preload "$build/bin/fuzz_$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" "fuzz/corpus/$target" \
      >"$log" 2>&1; then
    grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true
  else
    echo "fuzz_$target FAILED; see $log and $artifacts/"
    grep -E 'ERROR|SUMMARY|check failed|runtime error' "$log" | head -5 || true
    status=1
  fi
done
exit $status
