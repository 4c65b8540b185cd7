#include "dsp/wave_through_filter.h"

#include "dsp/answer.h"
#include "dsp/export_formats.h"
#include "dsp/response_grid.h"
#include "dsp/series_coefficients.h"
#include "dsp/series_kernel.h"
#include "dsp/simd.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace dsp {
namespace {

// The terms a synthesis curve of `harmonics` sums (dsp/series.h), dc first where it has one.
std::vector<int> seriesTerms(Wave wave, int harmonics)
{
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

bool sineBasis(Wave wave) { return wave == Wave::Square || wave == Wave::Sawtooth; }

bool positiveFinite(double value) { return std::isfinite(value) && value > 0; }

ThroughStatus checkRequest(const std::vector<double>& taps, const SampledWave& wave)
{
    if (taps.empty())
        return ThroughStatus::NoTaps;
    if (static_cast<double>(taps.size()) > kMostTaps)
        return ThroughStatus::TooMany;
    if (!std::all_of(taps.begin(), taps.end(), [](double tap) { return std::isfinite(tap); }))
        return ThroughStatus::NotFinite;
    if (!positiveFinite(wave.fundamentalHz) || !positiveFinite(wave.samplingHz)
        || !positiveFinite(wave.periods)
        || (wave.wave == Wave::PulseTrain && !std::isfinite(wave.dutyCycle)))
        return ThroughStatus::BadWave;
    return ThroughStatus::Done;
}

// |H| at x cycles per sample, from the taps scaled so that no table overflows the sums (none:
// every tap is zero).
double gainAt(const std::optional<ScaledTaps>& scaled, double cyclesPerSample)
{
    if (!scaled)
        return 0;
    return std::ldexp(std::abs(exactSum(scaled->taps, cyclesPerSample)), scaled->exponent);
}

// The wave at samples first, first + 1, ..., `count` of them: the kept terms summed by the
// curves' kernel at t = 2 pi (n f0 / fs mod 1), the dc level added.
std::vector<double> waveSamples(const SampledWave& wave, const std::vector<ThroughHarmonic>& kept,
                                int first, int count)
{
    const double cyclesPerSample = wave.fundamentalHz / wave.samplingHz;
    HarmonicSeries series{1, 1, sineBasis(wave.wave), {}};
    double dc = 0;
    for (const ThroughHarmonic& term : kept) {
        const double c = seriesCoefficient(wave.wave, term.harmonic, 1, wave.dutyCycle);
        if (term.harmonic == 0) {
            dc = c;
            continue;
        }
        series.weights.resize(static_cast<std::size_t>(term.harmonic));
        series.weights.back() = c;
    }
    std::vector<double> times(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double cycles = static_cast<double>(first + i) * cyclesPerSample;
        times[static_cast<std::size_t>(i)] = 2 * std::numbers::pi * (cycles - std::floor(cycles));
    }
    std::vector<double> values = sumSeries(series, times, simd::active());
    for (double& value : values)
        value += dc;
    return values;
}

int sampleRows(const SampledWave& wave)
{
    const double span = wave.periods * wave.samplingHz / wave.fundamentalHz;
    return static_cast<int>(std::min<double>(std::floor(span) + 1, kMostThroughSamples));
}

// The series' terms below fs/2 with their gains; the count of those at or above it.
void takeHarmonics(WaveThroughFilter& through, const std::vector<double>& taps,
                   const SampledWave& wave)
{
    const int harmonics = std::clamp(wave.harmonics, 0, static_cast<int>(kMostHarmonics));
    const std::optional<ScaledTaps> scaled = scaledTaps(taps);
    for (int n : seriesTerms(wave.wave, harmonics)) {
        const double frequencyHz = n * wave.fundamentalHz;
        if (frequencyHz >= wave.samplingHz / 2) {
            ++through.harmonicsLeftOut;
            continue;
        }
        const double input = std::abs(seriesCoefficient(wave.wave, n, 1, wave.dutyCycle));
        const double gain = gainAt(scaled, frequencyHz / wave.samplingHz);
        through.harmonics.push_back({n, frequencyHz, input, gain, input * gain});
    }
}

// Rows 0 .. rows - 1, each output summed over the N inputs up to its own.
void takeSamples(WaveThroughFilter& through, const std::vector<double>& taps,
                 const SampledWave& wave)
{
    const int taken = static_cast<int>(taps.size());
    const int rows = sampleRows(wave);
    // input[i] is the wave at sample i - (N - 1).
    const std::vector<double> input =
        waveSamples(wave, through.harmonics, 1 - taken, rows + taken - 1);
    for (int n = 0; n < rows; ++n) {
        double output = 0;
        for (int k = 0; k < taken; ++k)
            output += taps[static_cast<std::size_t>(k)]
                * input[static_cast<std::size_t>(n - k + taken - 1)];
        through.samples.push_back(
            {n, n / wave.samplingHz, input[static_cast<std::size_t>(n + taken - 1)], output});
    }
}

} // namespace

WaveThroughFilter waveThroughFilter(const std::vector<double>& taps, const SampledWave& wave)
{
    WaveThroughFilter through;
    through.status = checkRequest(taps, wave);
    if (through.status != ThroughStatus::Done)
        return through;
    through.delaySamples = (static_cast<double>(taps.size()) - 1) / 2;
    takeHarmonics(through, taps, wave);
    takeSamples(through, taps, wave);
    return through;
}

std::string formatThroughSamplesCsv(const WaveThroughFilter& through)
{
    std::string text = "n,time_s,input,output\n";
    for (const ThroughSample& row : through.samples) {
        text += std::to_string(row.n) + ',' + exactNumber(row.timeS) + ',' + exactNumber(row.input)
            + ',' + exactNumber(row.output) + '\n';
    }
    return text;
}

std::string formatThroughHarmonicsCsv(const WaveThroughFilter& through)
{
    std::string text = "harmonic,frequency_hz,input,gain,output\n";
    for (const ThroughHarmonic& row : through.harmonics) {
        text += std::to_string(row.harmonic) + ',' + exactNumber(row.frequencyHz) + ','
            + exactNumber(row.input) + ',' + exactNumber(row.gain) + ',' + exactNumber(row.output)
            + '\n';
    }
    return text;
}

} // namespace dsp
