#!/usr/bin/env bash
# Builds the program and its tests with clang under AddressSanitizer, UndefinedBehaviorSanitizer
# and LeakSanitizer in ./build-asan, runs the unit, GUI, command-line and soak tests there (any
# report stops the run), then fuzzes whole program runs for about a minute, starting from the
# committed corpus. Exits non-zero on any failure. Installs nothing: clang, the runtimes of that
# clang (libclang-rt-N-dev, N its major version) and the packages of the normal build must be there.
#
#   DSPLAB_FUZZ_SECONDS  fuzzing time (60)
#   DSPLAB_SOAK_ROUNDS   rounds of the soak test under the sanitizers (200)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-asan"
fuzz_seconds=${DSPLAB_FUZZ_SECONDS:-60}
started=$SECONDS

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DDSPLAB_SANITIZE=ON -DDSPLAB_FUZZ=ON -DDSPLAB_WITH_BENCH=OFF
cmake --build "$build" -j "$(nproc)" \
  --target dsplab core_tests gui_tests cli_tests soak_tests session_fuzz

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp"
export DSPLAB_SOAK_ROUNDS=${DSPLAB_SOAK_ROUNDS:-200}

for tests in core_tests gui_tests cli_tests soak_tests; do
  echo "== $tests under the sanitizers"
  "$build/tests/$tests" --gtest_brief=1
done

echo "== fuzzing program runs for ${fuzz_seconds}s"
new_inputs="$build/fuzz-corpus"
artifacts="$build/fuzz-artifacts"
mkdir -p "$new_inputs" "$artifacts"
# New inputs go to the first folder, so the committed corpus stays as it is.
"$build/tests/fuzz/session_fuzz" "$new_inputs" "$root/tests/fuzz/corpus" \
  -dict="$root/tests/fuzz/session.dict" -max_total_time="$fuzz_seconds" -timeout=120 \
  -max_len=512 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$artifacts/"

echo "Sanitized build, tests and fuzzing passed in $((SECONDS - started))s."
