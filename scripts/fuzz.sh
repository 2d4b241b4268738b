#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on every library) in build-fuzz/ and runs each
# on a copy of its committed corpus for a bounded time. Fails on any crash,
# leak, sanitizer report, time-out or out-of-memory.
#   scripts/fuzz.sh              every target, FUZZ_SECONDS (60) each
#   scripts/fuzz.sh keyboards    only the named targets
# A failing input is kept in build-fuzz/fuzz-artifacts/; once fixed, add it to
# fuzz/corpus/<target>/ so the plain suite replays it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

seconds=${FUZZ_SECONDS:-60}
build="$root/build-fuzz"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(stroke_dictionary association_table symbol_keyboard string_list keyboards)
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
  -DDIRORU_FUZZ=ON -DDIRORU_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"

artifacts="$build/fuzz-artifacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$artifacts"
status=0
for target in "${targets[@]}"; do
  corpus="$work/$target"
  mkdir -p "$corpus"
  cp "$root/fuzz/corpus/$target/"* "$corpus/"
  echo "== fuzz_$target for ${seconds}s"
  # New inputs go to the scratch copy; the committed corpus stays as it is.
  if "$build/fuzz/fuzz_$target" "$corpus" -max_total_time="$seconds" -rss_limit_mb=2048 \
      -timeout=30 -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
      >"$work/$target.log" 2>&1; then
    grep -E '^Done|stat::number_of_executed_units' "$work/$target.log" || true
  else
    status=1
    echo "fuzz_$target FAILED; the last lines of its log:"
    tail -n 60 "$work/$target.log"
  fi
done
exit $status
