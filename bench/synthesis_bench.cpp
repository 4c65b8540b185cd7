// The synthesis curves at the largest harmonic count a screen accepts: the phasor sums the screens
// use against the plain term-by-term sums they replace.
//
//   <curve>/fast                  the screens' sum, many iterations
//   <curve>/fast_against_direct   both sums a few times each; counters fast_ms, direct_ms and
//                                 ratio (direct over fast) for reading the speed-up at a glance
//   overshoot/<wave>              the overshoot figure, a search for the sum's crest beside each
//                                 jump (square, sawtooth, pulse train of duty cycle 0.25)

#include "dsp/series.h"
#include "dsp/wave_units.h"
#include "support/direct_series.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kMostHarmonics = 32767;

struct NamedCurve {
    std::string name;
    std::function<dsp::Curve()> fast;
    std::function<dsp::Curve()> direct;
};

std::vector<NamedCurve> curves()
{
    const int n = kMostHarmonics;
    namespace direct = dsp::direct;
    return {
        {"square", [n] { return dsp::squareWaveCurve(n); },
         [n] { return direct::squareWaveCurve(n); }},
        {"triangle", [n] { return dsp::triangleWaveCurve(n); },
         [n] { return direct::triangleWaveCurve(n); }},
        {"sawtooth", [n] { return dsp::sawtoothWaveCurve(n); },
         [n] { return direct::sawtoothWaveCurve(n); }},
        {"fullWave", [n] { return dsp::fullWaveRectifiedCurve(n); },
         [n] { return direct::fullWaveRectifiedCurve(n); }},
        {"halfWave", [n] { return dsp::halfWaveRectifiedCurve(n); },
         [n] { return direct::halfWaveRectifiedCurve(n); }},
        {"pulse", [n] { return dsp::pulseTrainCurve(n, 0.2); },
         [n] { return direct::pulseTrainCurve(n, 0.2); }},
    };
}

double secondsFor(const std::function<dsp::Curve()>& make)
{
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(make());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void fastCurve(benchmark::State& state, const NamedCurve& curve)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(curve.fast());
}

// Reported time is the fast sum's; the direct sums run alongside for the counters.
void fastAgainstDirect(benchmark::State& state, const NamedCurve& curve)
{
    double fastSeconds = 0;
    double directSeconds = 0;
    for (auto _ : state) {
        const double fast = secondsFor(curve.fast);
        directSeconds += secondsFor(curve.direct);
        fastSeconds += fast;
        state.SetIterationTime(fast);
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["fast_ms"] = 1e3 * fastSeconds / runs;
    state.counters["direct_ms"] = 1e3 * directSeconds / runs;
    state.counters["ratio"] = directSeconds / fastSeconds;
}

void overshoot(benchmark::State& state, dsp::Wave wave, double dutyCycle)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(dsp::overshootPercent(wave, kMostHarmonics, dutyCycle));
}

const bool kRegistered = [] {
    for (const NamedCurve& curve : curves()) {
        benchmark::RegisterBenchmark((curve.name + "/fast").c_str(), fastCurve, curve)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((curve.name + "/fast_against_direct").c_str(),
                                     fastAgainstDirect, curve)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(3);
    }
    const std::pair<const char*, dsp::Wave> jumping[] = {{"square", dsp::Wave::Square},
                                                         {"sawtooth", dsp::Wave::Sawtooth},
                                                         {"pulse", dsp::Wave::PulseTrain}};
    for (const auto& [name, wave] : jumping)
        benchmark::RegisterBenchmark((std::string("overshoot/") + name).c_str(), overshoot, wave,
                                     0.25)
            ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
