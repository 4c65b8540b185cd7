#include "dsp/wave_through_filter.h"

#include "dsp/fir_design.h"
#include "support/direct_series.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

namespace dsp {
namespace {

using tables::PrintTo;
using Taps = std::vector<double>;

// A wave sent through a design, and what the curve of the kept harmonics alone looks like: the
// count that draws just the terms below fs/2 and how many terms lie at or above it.
struct ThroughCase {
    std::string name;
    SampledWave wave;
    Taps taps;
    int keptCount;
    int leftOut;
};

// The curve's value (amplitude 1) at t radians, summed term by term.
double curveValue(const SampledWave& wave, int harmonics, double t)
{
    double y = 0;
    switch (wave.wave) {
    case Wave::Square:
        y = direct::squareWaveY(harmonics, t);
        break;
    case Wave::Triangle:
        y = direct::triangleWaveY(harmonics, t);
        break;
    case Wave::Sawtooth:
        y = direct::sawtoothWaveY(harmonics, t);
        break;
    case Wave::FullWaveRectified:
        y = direct::fullWaveRectifiedY(harmonics, t);
        break;
    case Wave::HalfWaveRectified:
        y = direct::halfWaveRectifiedY(harmonics, t);
        break;
    case Wave::PulseTrain:
        y = direct::pulseTrainY(harmonics, wave.dutyCycle, t);
        break;
    }
    return (kCurveZeroLine - y) / kCurveAmplitude;
}

double curveAtSample(const ThroughCase& row, int n)
{
    const double t = 2 * std::numbers::pi * row.wave.fundamentalHz * n / row.wave.samplingHz;
    return curveValue(row.wave, row.keptCount, t);
}

std::complex<double> response(const Taps& h, double w)
{
    std::complex<double> sum = 0;
    for (std::size_t n = 0; n < h.size(); ++n)
        sum += h[n] * std::polar(1.0, -w * static_cast<double>(n));
    return sum;
}

const Taps kDefaultLowpass = fir::blackmanLowpassTaps(1000, 150, 15);

// Left out at fs = 1000: the square's 5th harmonic of 100 Hz sits on fs/2 itself; the sawtooth's
// 5th to 10th of 100 Hz; the half wave's 6th and 8th (count 4: dc, 1, 2, 4, 6, 8); the pulse's
// 4th to 8th of 125 Hz. Their kept terms are the curves of counts 2, 4, 2 and 3.
const ThroughCase kCases[] = {
    {"Square", {Wave::Square, 5, 0, 100, 1000}, kDefaultLowpass, 2, 3},
    {"SquareOfFewHarmonics", {Wave::Square, 3, 0, 40, 1000}, kDefaultLowpass, 3, 0},
    {"Triangle", {Wave::Triangle, 4, 0, 50, 1000}, fir::highpassTaps(1000, 150, 15), 4, 0},
    {"Sawtooth", {Wave::Sawtooth, 10, 0, 100, 1000}, kDefaultLowpass, 4, 6},
    {"FullWave",
     {Wave::FullWaveRectified, 6, 0, 60, 1000},
     fir::bandpassTaps(1000, 100, 250, 16),
     6,
     0},
    {"HalfWave", {Wave::HalfWaveRectified, 4, 0, 100, 1000}, kDefaultLowpass, 2, 2},
    {"Pulse", {Wave::PulseTrain, 8, 0.3, 125, 1000}, fir::bandstopTaps(1000, 100, 250, 15), 3, 5},
    {"OneTap", {Wave::Sawtooth, 3, 0, 90, 1000, 3.5}, {0.5}, 3, 0},
};

class Through : public testing::TestWithParam<ThroughCase> { };

// The harmonics at or above fs/2 are not sampled: the input is the curve of the kept ones, at
// t = 2 pi f0 n / fs. The kernel's sums stay within 1e-9 canvas units of the term-by-term ones.
TEST_P(Through, InputIsTheCurveOfTheHarmonicsBelowHalfTheSampling)
{
    const ThroughCase& row = GetParam();
    const WaveThroughFilter through = waveThroughFilter(row.taps, row.wave);
    ASSERT_EQ(through.status, ThroughStatus::Done);
    EXPECT_EQ(through.harmonicsLeftOut, row.leftOut);
    // periods fs / f0 samples and the one after them.
    const double span = row.wave.periods * row.wave.samplingHz / row.wave.fundamentalHz;
    ASSERT_EQ(through.samples.size(), static_cast<std::size_t>(std::floor(span)) + 1);
    for (const ThroughSample& sample : through.samples) {
        EXPECT_DOUBLE_EQ(sample.timeS, sample.n / row.wave.samplingHz);
        ASSERT_NEAR(sample.input, curveAtSample(row, sample.n), 1e-11) << "n = " << sample.n;
    }
}

// Steady state: every output is the whole sum over the taps, the inputs before row 0 from the
// curve too; from row N - 1 on, the rows' own inputs give the same sum.
TEST_P(Through, OutputIsTheConvolutionOfTheInputWithTheTaps)
{
    const ThroughCase& row = GetParam();
    const WaveThroughFilter through = waveThroughFilter(row.taps, row.wave);
    const int taps = static_cast<int>(row.taps.size());
    EXPECT_EQ(through.delaySamples, (taps - 1) / 2.0);
    for (const ThroughSample& sample : through.samples) {
        double fromCurve = 0;
        double fromRows = 0;
        for (int k = 0; k < taps; ++k) {
            fromCurve += row.taps[k] * curveAtSample(row, sample.n - k);
            if (sample.n >= taps - 1)
                fromRows += row.taps[k] * through.samples[sample.n - k].input;
        }
        ASSERT_NEAR(sample.output, fromCurve, 1e-10) << "n = " << sample.n;
        if (sample.n >= taps - 1) {
            ASSERT_NEAR(sample.output, fromRows, 1e-14) << "n = " << sample.n;
        }
    }
}

// Each kept term's amplitude from the kept curve itself (its Fourier coefficient over 64 points
// of a period, exact for harmonics below 32), the gain from H's definition.
TEST_P(Through, HarmonicsOutputIsTheInputTimesTheGain)
{
    const ThroughCase& row = GetParam();
    const WaveThroughFilter through = waveThroughFilter(row.taps, row.wave);
    for (const ThroughHarmonic& term : through.harmonics) {
        EXPECT_DOUBLE_EQ(term.frequencyHz, term.harmonic * row.wave.fundamentalHz);
        std::complex<double> coefficient = 0;
        constexpr int kPoints = 64;
        for (int m = 0; m < kPoints; ++m) {
            const double t = 2 * std::numbers::pi * m / kPoints;
            coefficient += curveValue(row.wave, row.keptCount, t)
                * std::polar(1.0, -term.harmonic * t) / double(kPoints);
        }
        const double amplitude = std::abs(coefficient) * (term.harmonic == 0 ? 1 : 2);
        EXPECT_NEAR(term.input, amplitude, 1e-12) << "harmonic " << term.harmonic;
        const double w = 2 * std::numbers::pi * term.frequencyHz / row.wave.samplingHz;
        EXPECT_NEAR(term.gain, std::abs(response(row.taps, w)), 1e-14) << term.harmonic;
        EXPECT_DOUBLE_EQ(term.output, term.input * term.gain) << "harmonic " << term.harmonic;
    }
}

INSTANTIATE_TEST_SUITE_P(Waves, Through, testing::ValuesIn(kCases), tables::rowName);

struct BadRequest {
    std::string name;
    Taps taps;
    SampledWave wave;
    ThroughStatus status;
};

class RefusedThrough : public testing::TestWithParam<BadRequest> { };

TEST_P(RefusedThrough, GivesNoRows)
{
    const WaveThroughFilter through = waveThroughFilter(GetParam().taps, GetParam().wave);
    EXPECT_EQ(through.status, GetParam().status);
    EXPECT_TRUE(through.samples.empty());
    EXPECT_TRUE(through.harmonics.empty());
}

const SampledWave kSquare{Wave::Square, 5, 0, 100, 1000};
const SampledWave kNoFundamental{Wave::Square, 5, 0, 0, 1000};
const SampledWave kNoSampling{Wave::Square, 5, 0, 100, -HUGE_VAL};
const SampledWave kNoPeriods{Wave::Square, 5, 0, 100, 1000, std::nan("")};
const SampledWave kUnknownDuty{Wave::PulseTrain, 5, HUGE_VAL, 100, 1000};

INSTANTIATE_TEST_SUITE_P(
    Degenerate, RefusedThrough,
    testing::Values(BadRequest{"NoTaps", {}, kSquare, ThroughStatus::NoTaps},
                    BadRequest{"NotANumber", {1, std::nan("")}, kSquare, ThroughStatus::NotFinite},
                    BadRequest{"MoreThanADesign", Taps(501, 1.0), kSquare, ThroughStatus::TooMany},
                    BadRequest{"NoFundamental", {1}, kNoFundamental, ThroughStatus::BadWave},
                    BadRequest{"NoSampling", {1}, kNoSampling, ThroughStatus::BadWave},
                    BadRequest{"NoPeriods", {1}, kNoPeriods, ThroughStatus::BadWave},
                    BadRequest{"UnknownDuty", {1}, kUnknownDuty, ThroughStatus::BadWave}),
    tables::rowName);

// A fundamental far below the sampling rate asks for more rows than a window shows.
TEST(WaveThroughFilter, RowsStopAtTheMost)
{
    const WaveThroughFilter through = waveThroughFilter({1}, {Wave::Sawtooth, 2, 0, 1, 48000});
    EXPECT_EQ(through.samples.size(), static_cast<std::size_t>(kMostThroughSamples));
}

TEST(ThroughCsv, WritesSamplesAndHarmonicsWithSeventeenDigits)
{
    // A full wave of 2 harmonics on 250 Hz at fs = 1000 through one tap of 0.5: dc 2 / pi and
    // harmonic 1 at 4 / (3 pi), with pi = 3.14159; harmonic 2, at fs/2, left out.
    const WaveThroughFilter through =
        waveThroughFilter({0.5}, {Wave::FullWaveRectified, 2, 0, 250, 1000, 0.5});
    const std::string samples = formatThroughSamplesCsv(through);
    EXPECT_EQ(samples.substr(0, samples.find('\n') + 1), "n,time_s,input,output\n");
    EXPECT_EQ(samples.substr(samples.find('\n') + 1, 6), "0,0,0.");
    EXPECT_EQ(formatThroughHarmonicsCsv(through),
              "harmonic,frequency_hz,input,gain,output\n"
              "0,0,0.63662031009775311,0.5,0.31831015504887655\n"
              "1,250,0.42441354006516874,0.5,0.21220677003258437\n");
}

} // namespace
} // namespace dsp
