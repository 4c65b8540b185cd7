// The harmonics the spectrum screen shows, as numbers: each line's harmonic and amplitude in
// units of the full-scale tick (the wave's peak), which the read-out and the table give.

#include "dsp/harmonic_lines.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using dsp::kPi;
using dsp::SpectrumLine;
using dsp::WaveType;

struct Expected {
    int harmonic;
    double amplitude;
};

struct LinesCase {
    const char* name;
    WaveType wave;
    int harmonics;
    const char* duty;
    const char* rectify;
    std::vector<Expected> lines; // in drawing order
};

// Fourier amplitudes of unit-peak waves, with the five-decimal pi: square 4 / (k pi) at odd k,
// sawtooth 2 / (k pi), pulse |2 sin(k pi D) / (k pi)| after its dc D; the half-wave's
// fundamental 1/2 and even harmonics 2 / (pi (k^2 - 1)). The screen draws the square's lines
// with sin(pi / 2) taken at the five-decimal pi, 1 - 3.5e-12; the full-wave's first line at the
// 10 / (3 pi) it is drawn with; the dc lines at the heights the screen gives them.
const double kSin = std::sin(kPi / 2);

class SpectrumLines : public ::testing::TestWithParam<LinesCase> { };

TEST_P(SpectrumLines, GiveEachHarmonicShownWithItsAmplitude)
{
    const LinesCase& c = GetParam();
    const dsp::SpectrumPlot plot = dsp::spectrumPlot(c.wave, c.harmonics, c.duty, c.rectify);
    ASSERT_EQ(plot.lines.size(), c.lines.size());
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
        EXPECT_EQ(plot.lines[i].harmonic, c.lines[i].harmonic) << i;
        EXPECT_NEAR(plot.lines[i].amplitude, c.lines[i].amplitude, 1e-12) << i;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Waves, SpectrumLines,
    ::testing::Values(
        LinesCase{"SquareOddLinesEvenMarkers", WaveType::Square, 3, "", "",
                  {{1, 4 * kSin / kPi}, {2, 0}, {3, 4 * kSin / (3 * kPi)}, {4, 0},
                   {5, 4 * kSin / (5 * kPi)}, {6, 0}}},
        LinesCase{"Sawtooth", WaveType::Sawtooth, 3, "", "",
                  {{1, 2 / kPi}, {2, 2 / (2 * kPi)}, {3, 2 / (3 * kPi)}}},
        LinesCase{"PulseHalfDutyThenDc", WaveType::Pulse, 2, "0.5", "",
                  {{1, 2 * std::sin(kPi * 0.5) / kPi},
                   {2, std::abs(2 * std::sin(2 * kPi * 0.5) / (2 * kPi))},
                   {0, 0.5}}},
        LinesCase{"HalfWave", WaveType::Rectified, 2, "", "H",
                  {{1, 0.5}, {2, 2 / (kPi * 3)}, {3, 0}, {0, 0.45 * (200 / kPi + 100) / 200}}},
        LinesCase{"FullWave", WaveType::Rectified, 2, "", "F",
                  {{1, 10 / (3 * kPi)}, {2, 4 / (kPi * 15)}, {0, 0.9 * 10 / (3 * kPi)}}}),
    tables::rowName);
// clang-format on

// The magnitude of harmonic k of a wave of period 2 pi, from a dense midpoint sum of the Fourier
// integrals over one period starting at `from`: the dc level for k = 0.
double fourierMagnitude(const std::function<double(double)>& wave, int k, double from)
{
    constexpr int kPoints = 1 << 20;
    constexpr double pi = std::numbers::pi;
    const double dt = 2 * pi / kPoints;
    double cosine = 0, sine = 0;
    for (int i = 0; i < kPoints; ++i) {
        const double t = from + (i + 0.5) * dt;
        cosine += wave(t) * std::cos(k * t);
        sine += wave(t) * std::sin(k * t);
    }
    const double scale = (k == 0 ? 1 : 2) / (2 * pi) * dt;
    return std::hypot(cosine, sine) * scale;
}

struct IdealCase {
    const char* name;
    WaveType wave;
    const char* duty;
    const char* rectify;
    std::function<double(double)> ideal; // one period from -pi, amplitude 1
};

void PrintTo(const IdealCase& c, std::ostream* out) { *out << c.name; }

class SeriesAmplitudes : public ::testing::TestWithParam<IdealCase> { };

// The series' amplitudes are those of the ideal wave the curve converges to (the five-decimal pi
// moves them by about 1e-6; the sum's jumps cost the dense integral about as much).
TEST_P(SeriesAmplitudes, AreTheIdealWavesFourierAmplitudes)
{
    const IdealCase& c = GetParam();
    const dsp::SpectrumPlot plot = dsp::spectrumPlot(c.wave, 4, c.duty, c.rectify);
    ASSERT_FALSE(plot.lines.empty());
    for (const SpectrumLine& line : plot.lines)
        EXPECT_NEAR(line.seriesAmplitude,
                    fourierMagnitude(c.ideal, line.harmonic, -std::numbers::pi), 2e-5)
            << "harmonic " << line.harmonic;
}

constexpr double kTruePi = std::numbers::pi;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Waves, SeriesAmplitudes,
    ::testing::Values(
        IdealCase{"Square", WaveType::Square, "", "", [](double t) { return t > 0 ? 1.0 : -1.0; }},
        IdealCase{"Triangle", WaveType::Triangle, "", "",
                  [](double t) { return 1 - 2 * std::abs(t) / kTruePi; }},
        IdealCase{"Sawtooth", WaveType::Sawtooth, "", "",
                  [](double t) { return t > 0 ? 1 - t / kTruePi : -1 - t / kTruePi; }},
        IdealCase{"Pulse", WaveType::Pulse, "0.2", "",
                  [](double t) { return std::abs(t) < kTruePi * 0.2 ? 2.0 : 0.0; }},
        IdealCase{"FullWave", WaveType::Rectified, "", "F",
                  [](double t) { return std::abs(std::sin(t / 2)); }},
        IdealCase{"HalfWave", WaveType::Rectified, "", "H",
                  [](double t) { return std::max(std::cos(t), 0.0); }}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

struct NearCase {
    const char* name;
    double x;
    int harmonic; // -1: none
};

class LineNear : public ::testing::TestWithParam<NearCase> { };

// Three square-wave harmonics: lines and markers 10 units apart from x = 40 (30 + 10 k).
TEST_P(LineNear, IsTheClosestWithinHalfTheSpacing)
{
    const dsp::SpectrumPlot plot = dsp::spectrumPlot(WaveType::Square, 3, "", "");
    const auto line = dsp::spectrumLineNear(plot, GetParam().x);
    if (GetParam().harmonic < 0) {
        EXPECT_FALSE(line.has_value());
        return;
    }
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->harmonic, GetParam().harmonic);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Places, LineNear,
    ::testing::Values(NearCase{"OnTheFirst", 40, 1}, NearCase{"JustRightOfTheThird", 61, 3},
                      NearCase{"JustLeftOfTheFourthMarker", 68, 4},
                      NearCase{"LeftOfEveryLine", 30, -1}, NearCase{"RightOfEveryLine", 100, -1}),
    tables::rowName);
// clang-format on

TEST(LineNear, NoLinesNoHarmonic)
{
    EXPECT_FALSE(dsp::spectrumLineNear(dsp::SpectrumPlot{}, 40).has_value());
}

} // namespace
