#include "dsp/series.h"
#include "dsp/wave_units.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <optional>
#include <utility>
#include <vector>

namespace {

using dsp::Curve;
using dsp::CurveRow;
using dsp::Wave;
using std::numbers::pi; // the exact pi: expected values come from the formulas, not the code

using tables::PrintTo; // rows print as their names in failure messages

// ---- Canvas and series units ----------------------------------------------------------------

// One harmonic of each wave (none beyond the dc and the fundamental for the half wave), with
// the first terms of its formula written with A = 1.
struct UnitsCase {
    const char* name;
    Wave wave;
    std::function<Curve()> curve;
    double timeStep;
    std::function<double(double)> formula;
};

class SeriesUnits : public ::testing::TestWithParam<UnitsCase> { };

// The five-decimal pi in the series' coefficients moves them by 8.4e-7 of themselves (twice
// that for the triangle's 1/pi^2); the values stay below 1.3.
constexpr double kFiveDecimalPiSlack = 3e-6;

TEST_P(SeriesUnits, GivesTheFormulaAtTheSweepsTimes)
{
    const UnitsCase& c = GetParam();
    const Curve curve = c.curve();
    const std::vector<CurveRow> rows = dsp::curveInSeriesUnits(c.wave, curve);
    ASSERT_EQ(rows.size(), curve.points.size() - 1);
    double t = 0; // the screens' loops add the step over and over
    for (std::size_t i = 0; i < rows.size(); ++i, t += c.timeStep) {
        ASSERT_NEAR(rows[i].time, t, 1e-12) << "row " << i;
        ASSERT_NEAR(rows[i].value, c.formula(t), kFiveDecimalPiSlack) << "t = " << t;
    }
}

TEST_P(SeriesUnits, RoundTripsCanvasPoints)
{
    const Wave wave = GetParam().wave;
    const dsp::WaveAxes axes = dsp::waveAxes(wave);
    for (double x : {8.0, 10.0, 243.5, 478.0})
        EXPECT_NEAR(axes.xAtZero + axes.xPerTime * dsp::timeAtX(wave, x), x, 1e-12);
    for (double y : {0.0, 70.0, 133.0, 196.0, 259.0, 480.0})
        EXPECT_NEAR(axes.yAtZero + axes.yPerValue * dsp::valueAtY(wave, y), y, 1e-12);
    for (const CurveRow& row : dsp::curveInSeriesUnits(wave, GetParam().curve())) {
        const double x = axes.xAtZero + axes.xPerTime * row.time;
        const double y = axes.yAtZero + axes.yPerValue * row.value;
        ASSERT_NEAR(dsp::timeAtX(wave, x), row.time, 1e-12);
        ASSERT_NEAR(dsp::valueAtY(wave, y), row.value, 1e-12);
    }
}

// Full wave: |sin x| = 2/pi - (4/pi) sum cos(2 n x) / (4 n^2 - 1), at x = t/2. Half wave:
// max(cos t, 0) = 1/pi + cos(t)/2 + (2/pi) sum (-1)^(k+1) cos(2 k t) / (4 k^2 - 1).
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Waves, SeriesUnits,
    ::testing::Values(
        UnitsCase{"square", Wave::Square, [] { return dsp::squareWaveCurve(1); }, 0.02,
                  [](double t) { return 4 / pi * std::sin(t); }},
        UnitsCase{"triangle", Wave::Triangle, [] { return dsp::triangleWaveCurve(1); }, 0.02,
                  [](double t) { return 8 / (pi * pi) * std::cos(t); }},
        UnitsCase{"sawtooth", Wave::Sawtooth, [] { return dsp::sawtoothWaveCurve(1); }, 0.02,
                  [](double t) { return 2 / pi * std::sin(t); }},
        UnitsCase{"fullWave", Wave::FullWaveRectified,
                  [] { return dsp::fullWaveRectifiedCurve(1); }, 0.04,
                  [](double t) { return 2 / pi - 4 / (3 * pi) * std::cos(t); }},
        UnitsCase{"halfWave", Wave::HalfWaveRectified,
                  [] { return dsp::halfWaveRectifiedCurve(1); }, 0.04,
                  [](double t) { return 1 / pi + std::cos(t) / 2; }},
        UnitsCase{"pulse", Wave::PulseTrain, [] { return dsp::pulseTrainCurve(1, 0.3); }, 0.02,
                  [](double t) { return 2 * 0.3 + 4 / pi * std::sin(0.3 * pi) * std::cos(t); }}),
    tables::rowName);
// clang-format on

// The pulse train's pen sits on the zero line while its sum starts at the top of the pulse.
TEST(SeriesUnitsRows, LeaveOutThePensPlacingPoint)
{
    const Curve curve = dsp::pulseTrainCurve(1, 0.5);
    EXPECT_EQ(dsp::valueAtY(Wave::PulseTrain, curve.points[0].y), 0);
    const std::vector<CurveRow> rows = dsp::curveInSeriesUnits(Wave::PulseTrain, curve);
    EXPECT_EQ(rows.front().time, 0);
    EXPECT_NEAR(rows.front().value, 1 + 4 / pi, kFiveDecimalPiSlack);
    EXPECT_TRUE(dsp::curveInSeriesUnits(Wave::Square, Curve{}).empty());
}

// ---- The ideal wave's jump ------------------------------------------------------------------

struct JumpCase {
    const char* name;
    Wave wave;
    double dutyCycle;
    std::optional<std::pair<double, double>> levels;
};

class JumpLevels : public ::testing::TestWithParam<JumpCase> { };

TEST_P(JumpLevels, AreTheIdealWavesLowerAndUpperLevel)
{
    EXPECT_EQ(dsp::jumpLevels(GetParam().wave, GetParam().dutyCycle), GetParam().levels);
}

// Square, +-A: (4A/pi) sum sin(nt)/n. Sawtooth, A(1 - t/pi) on (0, 2 pi): (2A/pi) sum sin(nt)/n.
// Pulse, 0 and 2A: dc 2AD and 4A sin(n pi D)/(n pi), the series of a pulse of height 2A.
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const std::pair kPlusMinusOne{-1.0, 1.0};
const std::pair kZeroToTwo{0.0, 2.0};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Waves, JumpLevels,
    ::testing::Values(JumpCase{"square", Wave::Square, 0, kPlusMinusOne},
                      JumpCase{"sawtooth", Wave::Sawtooth, 0, kPlusMinusOne},
                      JumpCase{"pulseNarrow", Wave::PulseTrain, 0.01, kZeroToTwo},
                      JumpCase{"pulseWide", Wave::PulseTrain, 0.99, kZeroToTwo},
                      JumpCase{"pulseDutyZero", Wave::PulseTrain, 0, std::nullopt},
                      JumpCase{"pulseDutyOne", Wave::PulseTrain, 1, std::nullopt},
                      JumpCase{"pulseDutyNaN", Wave::PulseTrain, kNaN, std::nullopt},
                      JumpCase{"triangle", Wave::Triangle, 0, std::nullopt},
                      JumpCase{"fullWave", Wave::FullWaveRectified, 0, std::nullopt},
                      JumpCase{"halfWave", Wave::HalfWaveRectified, 0, std::nullopt}),
    tables::rowName);
// clang-format on

} // namespace
