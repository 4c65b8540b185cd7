// The response sweep of the filter screens: the chirp-z sweep they draw against the sums term by
// term, on the default lowpass design. Each tap count runs both, one after the other, so the two
// lines read as a pair and the points/s counters give the ratio. On a busy machine run with
// --benchmark_repetitions=10 and read the min rows. bench/compare-with-scipy.sh sets the sweep
// beside scipy.signal.freqz on the same taps and points.
//
// Then the measured figures of a design (dsp/filter_figures.h) up to the longest table the
// screens design, 32767 taps: the read-out must stay well under a second there.

#include "dsp/filter_figures.h"
#include "dsp/fir_design.h"
#include "dsp/fir_response.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using Sweep = std::vector<dsp::fir::ResponsePoint> (*)(const std::vector<double>&);

void runSweep(benchmark::State& state, Sweep sweep, int taps)
{
    const std::vector<double> design = dsp::fir::blackmanLowpassTaps(1000, 150, taps);
    std::size_t points = 0;
    for (auto _ : state) {
        const auto response = sweep(design);
        points = response.size();
        benchmark::DoNotOptimize(response.data());
    }
    state.counters["points"] = static_cast<double>(points);
    state.counters["points/s"] = benchmark::Counter(static_cast<double>(points),
                                                    benchmark::Counter::kIsIterationInvariantRate);
}

double fastest(const std::vector<double>& runs)
{
    return *std::min_element(runs.begin(), runs.end());
}

void registerSweep(const std::string& name, Sweep sweep, int taps)
{
    benchmark::RegisterBenchmark(name.c_str(), runSweep, sweep, taps)
        ->Unit(benchmark::kMicrosecond)
        ->ComputeStatistics("min", fastest);
}

// The figures of the lowpass (one edge, one stop band) and the bandpass (two of each).
void runFigures(benchmark::State& state, dsp::FilterKind kind, int taps)
{
    const std::vector<double> design = kind == dsp::FilterKind::Bandpass
        ? dsp::fir::bandpassTaps(1000, 100, 250, taps)
        : dsp::fir::blackmanLowpassTaps(1000, 150, taps);
    for (auto _ : state) {
        const dsp::FilterFigures figures = dsp::measureFilter(design, 1000, kind, 250);
        benchmark::DoNotOptimize(figures.stopbandPeakDb);
    }
}

const bool registered = [] {
    for (int taps : {15, 100, 500}) {
        const std::string name = "ResponseSweep/N=" + std::to_string(taps);
        registerSweep(name + "/chirpz", &dsp::fir::responseSweep, taps);
        registerSweep(name + "/direct", &dsp::fir::directResponseSweep, taps);
    }
    for (int taps : {15, 1001, 32767}) {
        for (const auto& [label, kind] : {std::pair{"lowpass", dsp::FilterKind::Lowpass},
                                          std::pair{"bandpass", dsp::FilterKind::Bandpass}}) {
            const std::string name = "MeasureFilter/N=" + std::to_string(taps) + "/" + label;
            benchmark::RegisterBenchmark(name.c_str(), runFigures, kind, taps)
                ->Unit(benchmark::kMillisecond)
                ->ComputeStatistics("min", fastest);
        }
    }
    return true;
}();

} // namespace
