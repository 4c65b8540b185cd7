#include "dsp/wave_through_filter.h"

#include "dsp/answer.h"
#include "dsp/export_formats.h"
#include "dsp/filter_analysis.h"
#include "dsp/response_grid.h"
#include "dsp/series_coefficients.h"

#include <algorithm>
#include <cmath>

namespace dsp {
namespace {

bool positiveFinite(double value) { return std::isfinite(value) && value > 0; }

ThroughStatus checkRequest(const std::vector<double>& taps, const SampledWave& wave)
{
    // Taps that are all zero pass: the output is then silence.
    switch (checkTaps(taps)) {
    case TapsCheck::Empty:
        return ThroughStatus::NoTaps;
    case TapsCheck::TooMany:
        return ThroughStatus::TooMany;
    case TapsCheck::NotFinite:
        return ThroughStatus::NotFinite;
    case TapsCheck::AllZero:
    case TapsCheck::Usable:
        break;
    }
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

int sampleRows(const SampledWave& wave)
{
    const double span = wave.periods * wave.samplingHz / wave.fundamentalHz;
    return static_cast<int>(std::min<double>(std::floor(span) + 1, kMostThroughSamples));
}

// The series' terms below fs/2 with their gains; the count of those at or above it.
void takeHarmonics(WaveThroughFilter& through, const std::vector<double>& taps,
                   const SampledWave& wave)
{
    const std::optional<ScaledTaps> scaled = scaledTaps(taps);
    const KeptTerms terms = termsBelowHalfSampling(wave);
    through.harmonicsLeftOut = terms.leftOut;
    for (int n : terms.kept) {
        const double frequencyHz = n * wave.fundamentalHz;
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
    std::vector<int> kept;
    for (const ThroughHarmonic& term : through.harmonics)
        kept.push_back(term.harmonic);
    const std::vector<double> input = waveSamples(wave, kept, 1 - taken, rows + taken - 1);
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
