#include "dsp/sound.h"

#include "dsp/fir_design.h"
#include "dsp/series_coefficients.h"
#include "support/sound_lines.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

namespace dsp {
namespace {

using soundlines::largestOffGrid;
using soundlines::lineAmplitude;
using tables::PrintTo;
constexpr double kPi = std::numbers::pi;

double decibels(double ratio) { return 20 * std::log10(ratio); }

// The middle second of a tone: 220, 110, 440 or 880 whole periods, clear of the fades.
std::vector<double> middleSecond(const Sound& sound)
{
    return soundlines::oneSecond(sound.samples, kSoundRate / 2);
}

struct ToneRow {
    std::string name;
    Wave wave;
    int harmonics;
    double f0;
    std::vector<int> lines; // the harmonic numbers that sound, by hand from the series
};

class Tones : public testing::TestWithParam<ToneRow> { };

TEST_P(Tones, SoundTheSeriesLinesInTheirRatiosAndNothingElse)
{
    const ToneRow& row = GetParam();
    const Tone tone = synthesisTone(row.wave, row.harmonics, 0.3, row.f0);
    ASSERT_EQ(tone.sound.samples.size(), 88200u);
    const std::vector<double> x = middleSecond(tone.sound);
    const double first = lineAmplitude(x, row.f0 * row.lines.front());
    const double firstCoefficient =
        std::abs(seriesCoefficient(row.wave, row.lines.front(), 1, 0.3));
    for (int n : row.lines) {
        const double expected = std::abs(seriesCoefficient(row.wave, n, 1, 0.3)) / firstCoefficient;
        EXPECT_NEAR(decibels(lineAmplitude(x, row.f0 * n) / first), decibels(expected), 0.1) << n;
    }
    // Peak at -1 dBFS, and every other line (an alias, a stray) below -60 dB of the first.
    EXPECT_NEAR(decibels(32767.0 / *std::max_element(x.begin(), x.end())), 1, 0.05);
    EXPECT_LT(decibels(largestOffGrid(x, row.f0) / first), -60);
    EXPECT_EQ(tone.termsKept, static_cast<int>(row.lines.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Waves, Tones,
    testing::Values(ToneRow{"SquareOfFive", Wave::Square, 5, 220, {1, 3, 5, 7, 9}},
                    ToneRow{"TriangleOnA440", Wave::Triangle, 3, 440, {1, 3, 5}},
                    ToneRow{"HalfWaveOnA110", Wave::HalfWaveRectified, 3, 110, {1, 2, 4, 6}},
                    ToneRow{"PulseOnA880", Wave::PulseTrain, 6, 880, {1, 2, 3, 4, 5, 6}}),
    tables::rowName);

// 32767 harmonics on 220 Hz: the odd ones up to 99 sound (99 * 220 = 21780 Hz < 22050 Hz), and
// nothing at or above half the rate folds back off the harmonic grid.
TEST(Tone, LeavesOutTheHarmonicsAtOrAboveHalfTheRate)
{
    const Tone tone = synthesisTone(Wave::Square, 32767, 0, 220);
    EXPECT_EQ(tone.termsKept, 50);
    EXPECT_EQ(tone.termsLeftOut, 32767 - 50);
    const std::vector<double> x = middleSecond(tone.sound);
    EXPECT_LT(decibels(largestOffGrid(x, 220) / lineAmplitude(x, 220)), -60);
}

// Power of the noise, Hann-windowed segments of 256 samples averaged, at bin k (cycles k / 256).
std::vector<double> powerSpectrum(const Sound& sound, double scale)
{
    constexpr std::size_t kSegment = 256;
    std::vector<double> power(kSegment / 2 + 1, 0.0);
    const std::size_t skip = kSoundRate / 50; // clear of the fades
    for (std::size_t start = skip; start + kSegment < sound.samples.size() - skip;
         start += kSegment) {
        for (std::size_t k = 0; k < power.size(); ++k) {
            std::complex<double> sum;
            for (std::size_t n = 0; n < kSegment; ++n) {
                const double hann = 0.5 - 0.5 * std::cos(2 * kPi * double(n) / kSegment);
                sum += hann * sound.samples[start + n] / scale
                    * std::polar(1.0, -2 * kPi * double(k * n) / kSegment);
            }
            power[k] += std::norm(sum);
        }
    }
    return power;
}

double gainAt(const std::vector<double>& taps, double cycles)
{
    std::complex<double> sum;
    for (std::size_t k = 0; k < taps.size(); ++k)
        sum += taps[k] * std::polar(1.0, -2 * kPi * cycles * double(k));
    return std::abs(sum);
}

TEST(Noise, ThroughADesignFollowsItsGainWhereverItIsAboveMinus40Decibels)
{
    const std::vector<double> taps = fir::blackmanLowpassTaps(1000, 150, 15);
    const NoiseSound alone = noiseSound({}, kSoundRate);
    const NoiseSound through = noiseSound(taps, kSoundRate);
    const std::vector<double> in = powerSpectrum(alone.sound, alone.scale);
    const std::vector<double> out = powerSpectrum(through.sound, through.scale);
    const double peak = gainAt(taps, 0);
    // Bands of eight bins, the gain squared averaged over the same bins.
    for (std::size_t band = 0; band + 8 <= in.size(); band += 8) {
        double inPower = 0, outPower = 0, gainSquared = 0;
        for (std::size_t k = band; k < band + 8; ++k) {
            inPower += in[k];
            outPower += out[k];
            gainSquared += std::pow(gainAt(taps, double(k) / 256), 2);
        }
        if (decibels(std::sqrt(gainSquared / 8) / peak) > -40) {
            EXPECT_NEAR(10 * std::log10(outPower / inPower), 10 * std::log10(gainSquared / 8), 1)
                << "band from bin " << band;
        }
    }
}

TEST(Noise, IsTheSameOnEveryRunAndRefusesWhatItCannotPlay)
{
    EXPECT_EQ(noiseSound({}, 8000).sound.samples, noiseSound({}, 8000).sound.samples);
    EXPECT_EQ(noiseSound({}, 8000).sound.samples.size(), 16000u);
    EXPECT_TRUE(noiseSound({}, 0).sound.samples.empty());
    EXPECT_TRUE(noiseSound({1, std::nan("")}, 8000).sound.samples.empty());
    EXPECT_TRUE(noiseSound({}, kMostSoundRate + 1).sound.samples.empty());
}

// The header as the RIFF layout fixes it, read back field by field.
TEST(WavFile, HoldsAMono16BitPcmHeaderAndTheSamplesLittleEndian)
{
    const std::string file = wavFile({8000, {1, -2, 32767}});
    const auto u32 = [&file](std::size_t at) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | static_cast<unsigned char>(file[at + i]);
        return value;
    };
    ASSERT_EQ(file.size(), 44u + 6);
    EXPECT_EQ(file.substr(0, 4) + file.substr(8, 8) + file.substr(36, 4), "RIFFWAVEfmt data");
    EXPECT_EQ(u32(4), 42u);
    EXPECT_EQ(u32(20), 1u | 1u << 16); // PCM, one channel
    EXPECT_EQ(u32(24), 8000u);
    EXPECT_EQ(u32(28), 16000u);
    EXPECT_EQ(u32(32), 2u | 16u << 16);
    EXPECT_EQ(u32(40), 6u);
    EXPECT_EQ(file.substr(44), std::string("\x01\x00\xfe\xff\xff\x7f", 6));
}

} // namespace
} // namespace dsp
