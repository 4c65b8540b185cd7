#include "dsp/sampled_wave.h"

#include "dsp/answer.h"
#include "dsp/series_coefficients.h"
#include "dsp/series_kernel.h"
#include "dsp/simd.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace dsp {

std::vector<int> seriesTerms(Wave wave, int harmonics)
{
    harmonics = std::clamp(harmonics, 0, static_cast<int>(kMostHarmonics));
    std::vector<int> terms;
    const auto add = [&terms](int first, int step, int last) {
        for (int n = first; n <= last; n += step)
            terms.push_back(n);
    };
    switch (wave) {
    case Wave::Square:
    case Wave::Triangle:
        add(1, 2, 2 * harmonics - 1);
        break;
    case Wave::Sawtooth:
        add(1, 1, harmonics);
        break;
    case Wave::FullWaveRectified:
    case Wave::PulseTrain:
        add(0, 1, harmonics);
        break;
    case Wave::HalfWaveRectified:
        // The dc level and the fundamental always; a count of 1 adds no even harmonic.
        add(0, 1, 1);
        add(2, 2, harmonics == 1 ? 0 : 2 * harmonics);
        break;
    }
    return terms;
}

KeptTerms termsBelowHalfSampling(const SampledWave& wave)
{
    KeptTerms terms;
    for (int n : seriesTerms(wave.wave, wave.harmonics)) {
        if (n * wave.fundamentalHz >= wave.samplingHz / 2)
            ++terms.leftOut;
        else
            terms.kept.push_back(n);
    }
    return terms;
}

// t is taken from the fraction of a period, so that long runs of samples keep their accuracy.
std::vector<double> waveSamples(const SampledWave& wave, const std::vector<int>& kept, long first,
                                int count)
{
    const double cyclesPerSample = wave.fundamentalHz / wave.samplingHz;
    HarmonicSeries series{1, 1, sineSeries(wave.wave), {}};
    double dc = 0;
    for (int n : kept) {
        const double c = seriesCoefficient(wave.wave, n, 1, wave.dutyCycle);
        if (n == 0) {
            dc = c;
            continue;
        }
        series.weights.resize(static_cast<std::size_t>(n));
        series.weights.back() = c;
    }
    std::vector<double> times(static_cast<std::size_t>(std::max(count, 0)));
    for (std::size_t i = 0; i < times.size(); ++i) {
        const double cycles = static_cast<double>(first + static_cast<long>(i)) * cyclesPerSample;
        times[i] = 2 * std::numbers::pi * (cycles - std::floor(cycles));
    }
    std::vector<double> values = sumSeries(series, times, simd::active());
    for (double& value : values)
        value += dc;
    return values;
}

} // namespace dsp
