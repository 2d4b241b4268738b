#!/usr/bin/env bash
# Builds DiroruDIV and runs every test.
#   scripts/test.sh             plain build in build/
#   scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

build="$root/build"
cmake_args=()
if [ "${1:-}" = "--sanitize" ]; then
  build="$root/build-asan"
  cmake_args+=(-DDIRORU_SANITIZE=ON -DDIRORU_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
  # Any sanitizer report fails the test that triggered it.
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
fi

cmake -S "$root" -B "$build" -G Ninja "${cmake_args[@]}" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" --timeout 300
