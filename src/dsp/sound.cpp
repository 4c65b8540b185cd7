#include "dsp/sound.h"

#include "dsp/sampled_wave.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace dsp {
namespace {

constexpr double kMostSample = 32767;

std::size_t soundLength(int sampleRate)
{
    return static_cast<std::size_t>(std::lround(kSoundSeconds * sampleRate));
}

// A raised-cosine ramp over the first and the last kFadeSeconds.
void fade(std::vector<double>& values, int sampleRate)
{
    const std::size_t ramp =
        std::min(values.size() / 2, static_cast<std::size_t>(kFadeSeconds * sampleRate));
    for (std::size_t i = 0; i < ramp; ++i) {
        const double gain = 0.5 - 0.5 * std::cos(std::numbers::pi * (i + 0.5) / ramp);
        values[i] *= gain;
        values[values.size() - 1 - i] *= gain;
    }
}

double peakOf(const std::vector<double>& values)
{
    double peak = 0;
    for (double value : values)
        peak = std::max(peak, std::abs(value));
    return peak;
}

// The peak at kPeakDbfs of full scale; returns the factor applied (0 for silence).
double normalise(std::vector<double>& values)
{
    const double peak = peakOf(values);
    if (peak == 0)
        return 0;
    const double scale = std::pow(10.0, kPeakDbfs / 20) * kMostSample / peak;
    for (double& value : values)
        value *= scale;
    return scale;
}

std::vector<std::int16_t> quantised(const std::vector<double>& values)
{
    std::vector<std::int16_t> samples(values.size());
    std::transform(values.begin(), values.end(), samples.begin(), [](double value) {
        return static_cast<std::int16_t>(std::lround(std::clamp(value, -kMostSample, kMostSample)));
    });
    return samples;
}

// y[n] = sum_k h[k] x[n + N - 1 - k]: every output a full sum over the taps.
std::vector<double> filtered(const std::vector<double>& taps, const std::vector<double>& noise)
{
    const std::size_t length = noise.size() - (taps.size() - 1);
    std::vector<double> out(length, 0.0);
    for (std::size_t k = 0; k < taps.size(); ++k) {
        const double tap = taps[k];
        const double* x = noise.data() + (taps.size() - 1 - k);
        for (std::size_t n = 0; n < length; ++n)
            out[n] += tap * x[n];
    }
    return out;
}

void littleEndian(std::string& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

} // namespace

Tone synthesisTone(Wave wave, int harmonics, double dutyCycle, double fundamentalHz)
{
    const SampledWave sampled{wave, harmonics, dutyCycle, fundamentalHz, kSoundRate};
    KeptTerms terms = termsBelowHalfSampling(sampled);
    // The dc level is inaudible and would only take headroom from the wave.
    std::erase(terms.kept, 0);
    std::vector<double> values =
        waveSamples(sampled, terms.kept, 0, static_cast<int>(soundLength(kSoundRate)));
    fade(values, kSoundRate);
    normalise(values);
    return {{kSoundRate, quantised(values)}, static_cast<int>(terms.kept.size()), terms.leftOut};
}

std::vector<double> whiteNoise(std::size_t count)
{
    std::mt19937 generator(20261208u); // mt19937's output is fixed by the standard
    std::vector<double> noise(count);
    for (double& value : noise)
        value = static_cast<double>(generator()) / 2147483648.0 - 1.0; // 2^31
    return noise;
}

NoiseSound noiseSound(const std::vector<double>& taps, int sampleRate)
{
    const bool usable =
        std::all_of(taps.begin(), taps.end(), [](double tap) { return std::isfinite(tap); });
    if (sampleRate < 1 || sampleRate > kMostSoundRate || !usable)
        return {{sampleRate, {}}, 0};
    const std::size_t length = soundLength(sampleRate);
    const std::size_t history = taps.empty() ? 0 : taps.size() - 1;
    std::vector<double> values = whiteNoise(length + history);
    if (!taps.empty())
        values = filtered(taps, values);
    const double scale = normalise(values);
    fade(values, sampleRate);
    return {{sampleRate, quantised(values)}, scale};
}

std::string wavFile(const Sound& sound)
{
    const auto dataBytes = static_cast<std::uint32_t>(sound.samples.size() * 2);
    const auto rate = static_cast<std::uint32_t>(sound.sampleRate);
    std::string bytes = "RIFF";
    littleEndian(bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    littleEndian(bytes, 16, 4); // the format chunk's size
    littleEndian(bytes, 1, 2);  // PCM
    littleEndian(bytes, 1, 2);  // mono
    littleEndian(bytes, rate, 4);
    littleEndian(bytes, rate * 2, 4); // bytes per second
    littleEndian(bytes, 2, 2);        // bytes per frame
    littleEndian(bytes, 16, 2);       // bits per sample
    bytes += "data";
    littleEndian(bytes, dataBytes, 4);
    for (std::int16_t sample : sound.samples)
        littleEndian(bytes, static_cast<std::uint16_t>(sample), 2);
    return bytes;
}

} // namespace dsp
