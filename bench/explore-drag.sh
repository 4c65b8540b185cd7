#!/usr/bin/env bash
# Times a drag on the Explore panel in a real window: starts Xvfb and openbox on a free display,
# runs build/bench/explore_drag_bench there with the xcb platform, and stops both again.
# Usage: bench/explore-drag.sh [BUILD_DIR]
set -euo pipefail
build=${1:-$(dirname "$0")/../build}
bench="$build/bench/explore_drag_bench"
[[ -x "$bench" ]] || { echo "build the explore_drag_bench target first ($bench)" >&2; exit 1; }

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp &
xvfb=$!
wm=
cleanup() {
  [[ -n "$wm" ]] && kill "$wm" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do
  DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
sleep 0.5
DISPLAY=$display QT_QPA_PLATFORM=xcb "$bench"
