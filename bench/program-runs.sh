#!/usr/bin/env bash
# The whole program, start to snapshot, designing a Blackman lowpass filter with its phase trace
# at N = 500 taps against N = 15: the median wall time of repeated runs of each, and their ratio.
# The runs alternate, so that a busy machine slows both alike.
#
#   program-runs.sh [RUNS]   (default 11)
#
#   DSPLAB  the program to run (default: build/bin/dsplab)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dsplab=${DSPLAB:-$root/build/bin/dsplab}
runs=${1:-11}
if [[ ! -x "$dsplab" ]]; then
  echo "The program is not at $dsplab: build it first (scripts/build.sh)." >&2
  exit 1
fi
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# "wall cpu" milliseconds of one run designing with TAPS taps (cpu: user and system time, which
# other work on a busy machine disturbs less); the run must succeed.
run_ms() {
  local taps=$1 TIMEFORMAT='%3R %3U %3S'
  rm -rf "$work/snapshot"
  { time "$dsplab" --screen lowpass --answer 1000 --answer 150 --answer "$taps" --answer y \
      --snapshot "$work/snapshot" >/dev/null 2>"$work/err"; } 2>"$work/time" \
    || { echo "the run with $taps taps failed: $(tail -n 1 "$work/err")" >&2; exit 1; }
  awk '{ printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000 }' "$work/time"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

: >"$work/15"
: >"$work/500"
for (( i = 0; i < runs; i++ )); do
  run_ms 15 >>"$work/15"
  run_ms 500 >>"$work/500"
done
echo "runs: $runs of each, median milliseconds"
for column in 1 2; do
  name=$([[ $column == 1 ]] && echo wall || echo cpu)
  a=$(cut -d' ' -f$column "$work/15" | median)
  b=$(cut -d' ' -f$column "$work/500" | median)
  awk -v n="$name" -v a="$a" -v b="$b" \
    'BEGIN { printf "%-5s N = 15: %5d   N = 500: %5d   ratio %.2f\n", n, a, b, b / a }'
done
