#include "dsp/series.h"
#include "dsp/wave_units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using dsp::Curve;
using dsp::CurveRow;
using dsp::Wave;
using std::numbers::pi; // the exact pi: expected values come from the formulas, not the code

// Table rows print as their names in failure messages.
template <typename Row>
    requires requires(const Row& row) { row.name; }
void PrintTo(const Row& row, std::ostream* os)
{
    *os << row.name;
}

const auto kRowName = [](const auto& info) { return std::string(info.param.name); };

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

class SeriesUnits : public ::testing::TestWithParam<UnitsCase> {};

// The five-decimal pi in the series' coefficients moves them by 8.4e-7 of themselves (twice
// that for the triangle's 1/pi^2); the values stay below 1.3.
constexpr double kCoursePiSlack = 3e-6;

TEST_P(SeriesUnits, GivesTheFormulaAtTheSweepsTimes)
{
    const UnitsCase& c = GetParam();
    const Curve curve = c.curve();
    const std::vector<CurveRow> rows = dsp::curveInSeriesUnits(c.wave, curve);
    ASSERT_EQ(rows.size(), curve.points.size() - 1);
    double t = 0; // the screens' loops add the step over and over
    for (std::size_t i = 0; i < rows.size(); ++i, t += c.timeStep) {
        ASSERT_NEAR(rows[i].time, t, 1e-12) << "row " << i;
        ASSERT_NEAR(rows[i].value, c.formula(t), kCoursePiSlack) << "t = " << t;
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
    kRowName);

// The pulse train's pen sits on the zero line while its sum starts at the top of the pulse.
TEST(SeriesUnitsRows, LeaveOutThePensPlacingPoint)
{
    const Curve curve = dsp::pulseTrainCurve(1, 0.5);
    EXPECT_EQ(dsp::valueAtY(Wave::PulseTrain, curve.points[0].y), 0);
    const std::vector<CurveRow> rows = dsp::curveInSeriesUnits(Wave::PulseTrain, curve);
    EXPECT_EQ(rows.front().time, 0);
    EXPECT_NEAR(rows.front().value, 1 + 4 / pi, kCoursePiSlack);
    EXPECT_TRUE(dsp::curveInSeriesUnits(Wave::Square, Curve{}).empty());
}

// ---- The ideal wave's jump ------------------------------------------------------------------

struct JumpCase {
    const char* name;
    Wave wave;
    double dutyCycle;
    std::optional<std::pair<double, double>> levels;
};

class JumpLevels : public ::testing::TestWithParam<JumpCase> {};

TEST_P(JumpLevels, AreTheIdealWavesLowerAndUpperLevel)
{
    EXPECT_EQ(dsp::jumpLevels(GetParam().wave, GetParam().dutyCycle), GetParam().levels);
}

// Square, +-A: (4A/pi) sum sin(nt)/n. Sawtooth, A(1 - t/pi) on (0, 2 pi): (2A/pi) sum sin(nt)/n.
// Pulse, 0 and 2A: dc 2AD and 4A sin(n pi D)/(n pi), the series of a pulse of height 2A.
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const std::pair kPlusMinusOne{-1.0, 1.0};
const std::pair kZeroToTwo{0.0, 2.0};

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
    kRowName);

// ---- Overshoot ------------------------------------------------------------------------------

struct OvershootCase {
    const char* name;
    Wave wave;
    double dutyCycle;
    std::function<Curve()> curve;
    double percent;   // (peak - upper) / (upper - lower) * 100, the peak found by hand
    double tolerance; // percentage points
};

class Overshoot : public ::testing::TestWithParam<OvershootCase> {};

TEST_P(Overshoot, IsThePeakBeyondTheUpperLevelInPercentOfTheJump)
{
    const OvershootCase& c = GetParam();
    const std::optional<double> percent = dsp::overshootPercent(c.wave, c.curve(), c.dutyCycle);
    ASSERT_TRUE(percent.has_value());
    EXPECT_NEAR(*percent, c.percent, c.tolerance);
}

// Percent of a jump of 2 (both kinds of wave jump by 2).
double percentOver(double peak, double upper) { return (peak - upper) / 2 * 100; }

// Si(pi), the integral of sin(x)/x from 0 to pi, is 1.8519370519824662 (the Wilbraham-Gibbs
// constant times pi; Simpson's rule with 200000 steps agrees to 2e-14). The Gibbs overshoot is
// (1/pi) Si(pi) - 1/2 = 0.0894898722 of the jump.
constexpr double kSiPi = 1.8519370519824662;
const double kGibbsPercent = (kSiPi / pi - 0.5) * 100;

// Peaks of the small sums, from the derivative. Square, N terms: sum cos((2k-1)t) vanishes first
// at t = pi/(2N), so 4/pi at pi/2, (4/pi)(sin(pi/4) + sin(3pi/4)/3) = 8 sqrt2/(3 pi) at pi/4,
// (4/pi)(1/2 + 1/3 + 1/10) = 56/(15 pi) at pi/6. Sawtooth: 2/pi at pi/2; cos t + cos 2t = 0 at
// pi/3 gives (2/pi)(sqrt3/2 + sqrt3/4) = 3 sqrt3/(2 pi). Pulse, D = 1/2: 1 + (4/pi) cos t, then
// 1 + (4/pi)(cos t - cos(3t)/3), the square's two-term peak again. D = 1/4: 1/2 + (2 sqrt2/pi)
// cos t, and 1/2 + (4/pi)(cos(t)/sqrt2 + cos(2t)/2), both highest at t = 0. The drawn points miss
// these peaks by at most 0.0092 rad, where the curves (|f''| < 8) lie less than 3.4e-4 below:
// 0.017 points.
const double kSqrt2 = std::numbers::sqrt2;
const double kSqrt3 = std::numbers::sqrt3;
constexpr double kNearPeak = 0.02;

// Sawtooth, N terms: sum cos(nt) vanishes first at t = pi/(N+1), where (2/pi) sum sin(nt)/n is a
// trapezoid sum of (2/pi) Si(pi) short of its two end halves, (2/pi)(pi/(N+1))(1/2): so the peak
// is (2/pi) Si(pi) - 1/(N+1), to 3e-4 points. For N = 156 that peak is at t = 0.0200101, one
// drawn point. Square, 1000 harmonics: the peak lies pi/2000 = 0.00157 before the jump at pi;
// the drawn point t = 3.14 misses it by 2.2e-5 rad, where the sum, curving by 8 N^2/pi^2 there,
// lies 1.9e-4 below: 0.01 points.
INSTANTIATE_TEST_SUITE_P(
    Waves, Overshoot,
    ::testing::Values(
        OvershootCase{"square1", Wave::Square, 0, [] { return dsp::squareWaveCurve(1); },
                      percentOver(4 / pi, 1), kNearPeak},
        OvershootCase{"square2", Wave::Square, 0, [] { return dsp::squareWaveCurve(2); },
                      percentOver(8 * kSqrt2 / (3 * pi), 1), kNearPeak},
        OvershootCase{"square3", Wave::Square, 0, [] { return dsp::squareWaveCurve(3); },
                      percentOver(56 / (15 * pi), 1), kNearPeak},
        OvershootCase{"square1000", Wave::Square, 0, [] { return dsp::squareWaveCurve(1000); },
                      kGibbsPercent, 0.02},
        OvershootCase{"sawtooth1", Wave::Sawtooth, 0, [] { return dsp::sawtoothWaveCurve(1); },
                      percentOver(2 / pi, 1), kNearPeak},
        OvershootCase{"sawtooth2", Wave::Sawtooth, 0, [] { return dsp::sawtoothWaveCurve(2); },
                      percentOver(3 * kSqrt3 / (2 * pi), 1), kNearPeak},
        OvershootCase{"sawtooth156", Wave::Sawtooth, 0,
                      [] { return dsp::sawtoothWaveCurve(156); },
                      percentOver(2 / pi * kSiPi - 1.0 / 157, 1), 0.002},
        OvershootCase{"pulseHalf1", Wave::PulseTrain, 0.5,
                      [] { return dsp::pulseTrainCurve(1, 0.5); }, percentOver(1 + 4 / pi, 2),
                      kNearPeak},
        OvershootCase{"pulseHalf3", Wave::PulseTrain, 0.5,
                      [] { return dsp::pulseTrainCurve(3, 0.5); },
                      percentOver(1 + 8 * kSqrt2 / (3 * pi), 2), kNearPeak},
        OvershootCase{"pulseQuarter1", Wave::PulseTrain, 0.25,
                      [] { return dsp::pulseTrainCurve(1, 0.25); },
                      percentOver(0.5 + 2 * kSqrt2 / pi, 2), kNearPeak},
        OvershootCase{"pulseQuarter2", Wave::PulseTrain, 0.25,
                      [] { return dsp::pulseTrainCurve(2, 0.25); },
                      percentOver(0.5 + 4 / pi * (1 / kSqrt2 + 0.5), 2), kNearPeak}),
    kRowName);

// A drawn curve by hand: the pen placed far above, then values 0.5 and 1.1 (y = 196 - 63 v).
TEST(OvershootOfDrawnPoints, IgnoresThePensPlacingPoint)
{
    const Curve curve{{{10, 0}, {10, 196 - 63 * 0.5}, {20, 196 - 63 * 1.1}}};
    const std::optional<double> percent = dsp::overshootPercent(Wave::Square, curve);
    ASSERT_TRUE(percent.has_value());
    EXPECT_NEAR(*percent, percentOver(1.1, 1), 1e-12);
}

struct NoFigureCase {
    const char* name;
    Wave wave;
    double dutyCycle;
    std::function<Curve()> curve;
};

class NoOvershoot : public ::testing::TestWithParam<NoFigureCase> {};

TEST_P(NoOvershoot, IsGivenForWavesThatDoNotJumpOrBrokenCurves)
{
    const NoFigureCase& c = GetParam();
    EXPECT_EQ(dsp::overshootPercent(c.wave, c.curve(), c.dutyCycle), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Waves, NoOvershoot,
    ::testing::Values(
        NoFigureCase{"triangle", Wave::Triangle, 0, [] { return dsp::triangleWaveCurve(50); }},
        NoFigureCase{"fullWave", Wave::FullWaveRectified, 0,
                     [] { return dsp::fullWaveRectifiedCurve(50); }},
        NoFigureCase{"halfWave", Wave::HalfWaveRectified, 0,
                     [] { return dsp::halfWaveRectifiedCurve(50); }},
        NoFigureCase{"pulseDutyZero", Wave::PulseTrain, 0,
                     [] { return dsp::pulseTrainCurve(50, 0); }},
        NoFigureCase{"pulseDutyOne", Wave::PulseTrain, 1,
                     [] { return dsp::pulseTrainCurve(50, 1); }},
        NoFigureCase{"empty", Wave::Square, 0, [] { return Curve{}; }},
        NoFigureCase{"penOnly", Wave::Square, 0, [] { return Curve{{{10, 196}}}; }},
        NoFigureCase{"notANumber", Wave::Square, 0,
                     [] { return Curve{{{10, 196}, {10, 196}, {11, kNaN}}}; }},
        NoFigureCase{"infinite", Wave::Sawtooth, 0,
                     [] {
                         return Curve{{{8, 196},
                                       {8, -std::numeric_limits<double>::infinity()}}};
                     }}),
    kRowName);

} // namespace
