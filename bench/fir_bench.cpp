// The response sweep of the filter screens: the Goertzel sweep they draw against the sums term by
// term. Each tap count runs both, one after the other, so the two lines read as a pair; the
// points/s counter gives the ratio directly.

#include "fir/design.h"
#include "fir/response.h"

#include <benchmark/benchmark.h>

#include <string>
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

const bool registered = [] {
    for (int taps : {15, 100, 500}) {
        const std::string name = "ResponseSweep/N=" + std::to_string(taps);
        benchmark::RegisterBenchmark((name + "/goertzel").c_str(), runSweep,
                                     &dsp::fir::responseSweep, taps)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((name + "/direct").c_str(), runSweep,
                                     &dsp::fir::directResponseSweep, taps)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

} // namespace
