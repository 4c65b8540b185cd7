#!/usr/bin/env bash
# Installs what is missing, builds, and starts DSP Lab. Without a display it says so and renders a
# sample session into ./snapshots instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo
  echo "There is no display here (DISPLAY and WAYLAND_DISPLAY are not set), so no window can open."
  echo "Rendering a sample session into $root/snapshots instead:"
  "$root/scripts/screenshots.sh" "$root/snapshots"
  exit 0
fi
exec "$root/build/src/dsplab" "$@"
