#!/usr/bin/env bash
# Builds the program and its tests with clang under AddressSanitizer, UndefinedBehaviorSanitizer
# and LeakSanitizer in ./build-asan, runs the unit, GUI, command-line and soak tests there (any
# report stops the run), then fuzzes each pure module for a few seconds and whole program runs
# for a little longer, each from its committed corpus. Exits non-zero on any failure. Installs
# nothing: clang, the runtimes of that clang (libclang-rt-N-dev, N its major version) and the
# packages of the normal build must be there.
#
#   DSPLAB_FUZZ_SECONDS       fuzzing time of whole program runs (20)
#   DSPLAB_CORE_FUZZ_SECONDS  fuzzing time of each pure module (4)
#   DSPLAB_SOAK_ROUNDS        rounds of the soak test under the sanitizers (200)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-asan"
fuzz_seconds=${DSPLAB_FUZZ_SECONDS:-20}
core_fuzz_seconds=${DSPLAB_CORE_FUZZ_SECONDS:-4}
core_fuzzers=(answer_fuzz caption_fuzz taps_fuzz response_fuzz series_fuzz figures_fuzz)
started=$SECONDS

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DDSPLAB_SANITIZE=ON -DDSPLAB_FUZZ=ON -DDSPLAB_WITH_BENCH=OFF
cmake --build "$build" -j "$(nproc)" \
  --target dsplab core_tests gui_tests cli_tests soak_tests session_fuzz "${core_fuzzers[@]}"

export QT_QPA_PLATFORM=offscreen
# No sound server to reach, as in the normal test run: nothing plays aloud.
export PULSE_SERVER=unix:/nonexistent/dsplab
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp"
export DSPLAB_SOAK_ROUNDS=${DSPLAB_SOAK_ROUNDS:-200}

for tests in core_tests gui_tests cli_tests soak_tests; do
  echo "== $tests under the sanitizers"
  "$build/tests/$tests" --gtest_brief=1
done

artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
# New inputs go to a folder of the build, so the committed corpora stay as they are.
for fuzzer in "${core_fuzzers[@]}"; do
  echo "== fuzzing $fuzzer for ${core_fuzz_seconds}s"
  mkdir -p "$build/fuzz-corpus/$fuzzer"
  log="$build/fuzz-artifacts/$fuzzer.log"
  if ! "$build/tests/fuzz/$fuzzer" "$build/fuzz-corpus/$fuzzer" "$root/tests/fuzz/core/corpus/$fuzzer" \
      -max_total_time="$core_fuzz_seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts/$fuzzer-" >"$log" 2>&1; then
    tail -40 "$log"
    echo "$fuzzer found a fault: the input is in $artifacts"
    exit 1
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$log"
done

echo "== fuzzing program runs for ${fuzz_seconds}s"
mkdir -p "$build/fuzz-corpus/session_fuzz"
# Sessions grow up to 4096 bytes (some hundreds of steps) as the fuzzer finds longer ones useful.
# Whole stacks for each allocation, so that the leak suppressions see Qt's own frames.
ASAN_OPTIONS="$ASAN_OPTIONS:fast_unwind_on_malloc=0" "$build/tests/fuzz/session_fuzz" "$build/fuzz-corpus/session_fuzz" "$root/tests/fuzz/corpus" \
  -dict="$root/tests/fuzz/session.dict" -max_total_time="$fuzz_seconds" -timeout=120 \
  -max_len=4096 -len_control=10 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$artifacts/"

echo "Sanitized build, tests and fuzzing passed in $((SECONDS - started))s."
