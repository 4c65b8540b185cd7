#!/usr/bin/env bash
# Configures and builds the program, its tests and benchmarks in ./build (Release), with compiler
# warnings as errors. The program is build/bin/dsplab.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDSPLAB_WERROR=ON \
  -DBUILD_TESTING=ON -DDSPLAB_WITH_BENCH=ON
cmake --build "$root/build" -j "$(nproc)"
