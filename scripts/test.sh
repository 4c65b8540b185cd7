#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build's tests, then the
# sanitizer build's tests and a short fuzzing run, and last the run command as a newcomer without
# a display would type it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" test
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build" --output-on-failure -j "$(nproc)"
if [[ -x "$root/scripts/check-sanitized.sh" ]]; then
  "$root/scripts/check-sanitized.sh"
fi
"$root/scripts/check-run-command.sh"
echo "All tests passed."
