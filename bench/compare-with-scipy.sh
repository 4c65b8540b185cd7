#!/usr/bin/env bash
# The filter screens' response sweep beside scipy.signal.freqz, in one run on this machine.
#
#   bench/compare-with-scipy.sh [BUILD_DIR]      (default: build)
#
# For the lowpass screen's default design (1000 Hz sampling, 150 Hz cutoff, Blackman window) at
# 15, 100 and 500 taps, the program itself (BUILD_DIR/bin/dsplab, scripted) exports the taps,
# with 17 significant digits, and the response it draws. freqz then evaluates those very taps at
# the sweep's own points: u = 0, 0.01, ... by repeated addition while u <= N / 2 (Python's floats
# add as the program's doubles do), at the angles w = 2 pi u / N with the program's five-decimal
# pi. The best of several timed runs of freqz is set beside the fastest of five repetitions of
# the Google benchmarks (--benchmark_format=json): ResponseSweep/N=.../chirpz and .../direct from fir_bench, and, when
# BUILD_DIR/bench/fir_design_bench is there, WholeDesignWithDrawing/N (taps, sweep and the
# screen's drawing). All times are wall-clock. Needs python3-scipy and python3-numpy
# (scripts/install-deps.sh bench).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
program=$build/bin/dsplab
sweep_bench=$build/bench/fir_bench
design_bench=$build/bench/fir_design_bench
python=/usr/bin/python3
for needed in "$program" "$sweep_bench"; do
  [[ -x "$needed" ]] || { echo "$needed is not built (cmake --build $build)" >&2; exit 1; }
done
"$python" -c 'import numpy, scipy.signal' 2>/dev/null \
  || { echo "scipy and numpy are missing: scripts/install-deps.sh bench" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
counts=(15 100 500)

for n in "${counts[@]}"; do
  QT_QPA_PLATFORM=offscreen "$program" --screen lowpass --answer 1000 --answer 150 \
    --answer "$n" --answer N --export taps "$work/taps_$n.py" \
    --export response "$work/response_$n.csv" --close >/dev/null
done

# Five repetitions each; the fastest is the one compared.
benchmark_options=(--benchmark_repetitions=5 --benchmark_format=json)
"$sweep_bench" --benchmark_filter='^ResponseSweep/' "${benchmark_options[@]}" \
  >"$work/sweep.json"
if [[ -x "$design_bench" ]]; then
  QT_QPA_PLATFORM=offscreen "$design_bench" --benchmark_filter='^WholeDesignWithDrawing/' \
    "${benchmark_options[@]}" >"$work/design.json"
fi

"$python" - "$work" "${counts[@]}" <<'PYTHON'
import csv, json, os, sys, timeit

import numpy as np
from scipy.signal import freqz

work, counts = sys.argv[1], [int(n) for n in sys.argv[2:]]
five_decimal_pi = 3.14159


def sweep_points(n):
    u, points = 0.0, []
    while u <= n / 2.0:
        points.append(u)
        u += 0.01
    return np.array(points)


def benchmark_minima(path):
    """Benchmark name -> the least wall time of its repetitions, in seconds."""
    if not os.path.exists(path):
        return {}
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
    with open(path) as file:
        runs = json.load(file)["benchmarks"]
    minima = {}
    for run in runs:
        if run.get("run_type") == "iteration":
            seconds = run["real_time"] * scale[run["time_unit"]]
            name = run["run_name"]
            minima[name] = min(seconds, minima.get(name, seconds))
    return minima


sweeps = benchmark_minima(os.path.join(work, "sweep.json"))
designs = benchmark_minima(os.path.join(work, "design.json"))
rows = []
for n in counts:
    scope = {}
    with open(os.path.join(work, f"taps_{n}.py")) as file:
        exec(file.read(), scope)
    taps = np.array(scope["taps"])
    assert len(taps) == n, f"{len(taps)} taps exported, {n} asked for"
    u = sweep_points(n)
    w = 2 * five_decimal_pi * u / n
    _, h = freqz(taps, 1, worN=w)
    with open(os.path.join(work, f"response_{n}.csv")) as file:
        drawn = np.array([float(row["magnitude"]) for row in csv.DictReader(file)])
    assert len(drawn) == len(u), f"{len(drawn)} response rows, {len(u)} points"
    difference = np.max(np.abs(np.abs(h) - drawn)) / np.max(np.abs(h))
    timer = timeit.Timer(lambda: freqz(taps, 1, worN=w))
    loops, _ = timer.autorange()
    freqz_time = min(timer.repeat(repeat=5, number=loops)) / loops
    rows.append((n, len(u), freqz_time, difference))


def ms(seconds):
    return f"{seconds * 1e3:10.3f}" if seconds is not None else f"{'-':>10}"


def ratio(slow, fast):
    return f"{slow / fast:9.1f}x" if slow and fast else f"{'-':>10}"


print("Lowpass 1000 Hz / 150 Hz, Blackman window; times in ms (min of the runs, wall-clock)")
print("|freqz - drawn|: the largest difference of the magnitudes, over the peak magnitude")
print(f"{'taps':>5} {'points':>7} {'freqz':>10} {'sweep':>10} {'freqz/sweep':>11} "
      f"{'direct':>10} {'design':>10} {'freqz/design':>12} {'|freqz-drawn|':>14}")
for n, points, freqz_time, difference in rows:
    sweep = sweeps.get(f"ResponseSweep/N={n}/chirpz")
    direct = sweeps.get(f"ResponseSweep/N={n}/direct")
    design = designs.get(f"WholeDesignWithDrawing/{n}")
    print(f"{n:5d} {points:7d} {ms(freqz_time)} {ms(sweep)} {ratio(freqz_time, sweep):>11} "
          f"{ms(direct)} {ms(design)} {ratio(freqz_time, design):>12} {difference:14.2e}")
PYTHON
