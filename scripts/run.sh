#!/usr/bin/env bash
# Installs what running DSP Lab needs, builds the program alone, and starts it. Without a display
# it says so and renders a sample session into ./snapshots instead (DSPLAB_SNAPSHOTS: another
# folder).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" run

build="$root/build"
if [[ ! -f "$build/CMakeCache.txt" ]]; then
  # The program only: no tests, no benchmarks, and warnings stay warnings. A build folder the
  # test command configured is used as it is.
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DDSPLAB_WITH_BENCH=OFF
fi
cmake --build "$build" --target dsplab -j "$(nproc)"
dsplab="$build/bin/dsplab"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  snapshots=${DSPLAB_SNAPSHOTS:-$root/snapshots}
  echo
  echo "There is no display here (DISPLAY and WAYLAND_DISPLAY are not set), so no window can open."
  echo "Rendering a sample session into $snapshots instead:"
  DSPLAB="$dsplab" exec "$root/scripts/screenshots.sh" "$snapshots"
fi
exec "$dsplab" "$@"
