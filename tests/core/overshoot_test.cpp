// The overshoot figure: the crest of the sum beside the ideal wave's jump, against the small
// sums' peaks found by hand and the Gibbs figure the large ones tend to.

#include "dsp/plot.h"
#include "dsp/wave_units.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace {

using dsp::Wave;
using std::numbers::pi; // the exact pi: expected values come from the formulas, not the code

using tables::PrintTo; // rows print as their names in failure messages

struct OvershootCase {
    const char* name;
    Wave wave;
    double dutyCycle;
    int harmonics;
    double percent;   // (peak - upper) / (upper - lower) * 100, the peak found by hand
    double tolerance; // percentage points
};

class Overshoot : public ::testing::TestWithParam<OvershootCase> { };

TEST_P(Overshoot, IsTheSumsPeakBeyondTheUpperLevelInPercentOfTheJump)
{
    const OvershootCase& c = GetParam();
    const std::optional<double> percent = dsp::overshootPercent(c.wave, c.harmonics, c.dutyCycle);
    ASSERT_TRUE(percent.has_value());
    EXPECT_NEAR(*percent, c.percent, c.tolerance);
}

// Percent of a jump of 2 (both kinds of wave jump by 2).
double percentOver(double peak, double upper) { return (peak - upper) / 2 * 100; }

// The square's and the sawtooth's weights divide by the five-decimal pi where the formulas divide
// by pi, so their sums, peaks included, are pi / kPi times the exact ones.
const double kFiveDecimalPiScale = pi / dsp::kPi;
// For those two the figure is held to its exact value: the search takes the crest to within
// 1e-15 and the kernel's sums lie within 1e-9 canvas units of the plain ones (1e-9 points).
constexpr double kExact = 1e-8;
// A pulse train's weights (4/kPi) sin(n kPi D) / n also move with the sine's argument: as pi
// drops by 2.65e-6 to kPi, each by under 2.65e-6 (4 D / pi + 4 / (n pi^2)), so for up to three
// terms (D <= 1/2) the peak by under 8.3e-6, 4.2e-4 points.
constexpr double kPulseFiveDecimalPiSlack = 5e-4;

// Peaks of the small sums, from the derivative. Square, N terms: sum cos((2k-1)t) vanishes first
// at t = pi/(2N), so 4/pi at pi/2, (4/pi)(sin(pi/4) + sin(3pi/4)/3) = 8 sqrt2/(3 pi) at pi/4,
// (4/pi)(1/2 + 1/3 + 1/10) = 56/(15 pi) at pi/6. Sawtooth: sum cos(nt) vanishes first at
// t = pi/(N+1): 2/pi at pi/2, (2/pi)(sqrt3/2 + sqrt3/4) = 3 sqrt3/(2 pi) at pi/3,
// (2/pi)(sqrt2/2 + 1/2 + sqrt2/6) = (2/pi)(2 sqrt2/3 + 1/2) at pi/4. Pulse, D = 1/2:
// 1 + (4/pi) cos t, then 1 + (4/pi)(cos t - cos(3t)/3), the square's two-term peak again.
// D = 1/4: 1/2 + (2 sqrt2/pi) cos t, and 1/2 + (4/pi)(cos(t)/sqrt2 + cos(2t)/2), both highest
// at t = 0, the middle of the pulse.
const double kSqrt2 = std::numbers::sqrt2;
const double kSqrt3 = std::numbers::sqrt3;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    FewHarmonics, Overshoot,
    ::testing::Values(
        OvershootCase{"square1", Wave::Square, 0, 1,
                      percentOver(kFiveDecimalPiScale * 4 / pi, 1), kExact},
        OvershootCase{"square2", Wave::Square, 0, 2,
                      percentOver(kFiveDecimalPiScale * 8 * kSqrt2 / (3 * pi), 1), kExact},
        OvershootCase{"square3", Wave::Square, 0, 3,
                      percentOver(kFiveDecimalPiScale * 56 / (15 * pi), 1), kExact},
        OvershootCase{"sawtooth1", Wave::Sawtooth, 0, 1,
                      percentOver(kFiveDecimalPiScale * 2 / pi, 1), kExact},
        OvershootCase{"sawtooth2", Wave::Sawtooth, 0, 2,
                      percentOver(kFiveDecimalPiScale * 3 * kSqrt3 / (2 * pi), 1), kExact},
        OvershootCase{"sawtooth3", Wave::Sawtooth, 0, 3,
                      percentOver(kFiveDecimalPiScale * 2 / pi * (2 * kSqrt2 / 3 + 0.5), 1),
                      kExact},
        OvershootCase{"pulseHalf1", Wave::PulseTrain, 0.5, 1, percentOver(1 + 4 / pi, 2),
                      kPulseFiveDecimalPiSlack},
        OvershootCase{"pulseHalf3", Wave::PulseTrain, 0.5, 3,
                      percentOver(1 + 8 * kSqrt2 / (3 * pi), 2), kPulseFiveDecimalPiSlack},
        OvershootCase{"pulseQuarter1", Wave::PulseTrain, 0.25, 1,
                      percentOver(0.5 + 2 * kSqrt2 / pi, 2), kPulseFiveDecimalPiSlack},
        OvershootCase{"pulseQuarter2", Wave::PulseTrain, 0.25, 2,
                      percentOver(0.5 + 4 / pi * (1 / kSqrt2 + 0.5), 2),
                      kPulseFiveDecimalPiSlack}),
    tables::rowName);
// clang-format on

// Si(pi), the integral of sin(x)/x from 0 to pi, is 1.8519370519824662 (the Wilbraham-Gibbs
// constant times pi; Simpson's rule with 200000 steps agrees to 2e-14). The Gibbs overshoot is
// (1/pi) Si(pi) - 1/2 = 0.0894898722 of the jump, the peak (2/pi) Si(pi) for a jump of 2.
constexpr double kSiPi = 1.8519370519824662;
const double kGibbsPercent = (kSiPi / pi - 0.5) * 100;
const double kGibbsPeak = 2 / pi * kSiPi;

// With f(x) = sin(x)/x, f'(0) = 0 and f'(pi) = -1/pi. Square, N terms: at its peak pi/(2N) the
// sum is (2/pi) times the midpoint rule for Si(pi) at step h = pi/N, which overshoots by
// -(h^2/24)(f'(pi) - f'(0)) = h^2/(24 pi): the peak is (2/pi) Si(pi) + 1/(12 N^2). Sawtooth: at
// pi/(N+1) its sum is (2/pi) times the trapezoid rule at h = pi/(N+1) less its two end halves,
// h/2 (f(0) = 1, f(pi) = 0), the rule itself short by h^2/(12 pi): the peak is
// (2/pi) Si(pi) - 1/(N+1) - 1/(6 (N+1)^2). The next terms of both, in h^4 f'''(pi), are below
// 1e-11 points from N = 1000 on.
double squarePeak(int n) { return kGibbsPeak + 1 / (12.0 * n * n); }
double sawtoothPeak(int n) { return kGibbsPeak - 1.0 / (n + 1) - 1 / (6.0 * (n + 1) * (n + 1)); }

// A pulse train's sum is 2 + (2/pi)(R(u) + R(2 pi D - u)) at u inside its falling edge, where
// R(x) = sum sin(nx)/n - (pi - x)/2, the Dirichlet kernel's integral from pi down to x. R(u)
// makes the Gibbs hump (to 4.2 / N^2 points); R(2 pi D - u), the far edge's tail, is under
// 1/((N + 1/2) sin(pi D - u/2)) by the second mean value theorem, u within the four ripples
// searched, 8 pi / N. So the figure is within 100/(pi N sin(pi D - 4 pi/N)) points of the Gibbs
// figure, and 1e-4 more for the five-decimal pi (pi / kPi on a peak of 2.18) and the 4.2 / N^2.
double pulseSlack(int n, double dutyCycle)
{
    return 100 / (pi * n * std::sin(pi * dutyCycle - 4 * pi / n)) + 2e-4;
}

OvershootCase pulseLimit(const char* name, double dutyCycle, int harmonics)
{
    return {name,      Wave::PulseTrain, dutyCycle,
            harmonics, kGibbsPercent,    pulseSlack(harmonics, dutyCycle)};
}

// The drawn points, 0.02 apart, straddle ripples about pi/N wide here: these figures come from
// the sum's own crest (the points gave 0.094 % for the square at 10000).
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    ManyHarmonics, Overshoot,
    ::testing::Values(
        OvershootCase{"square1000", Wave::Square, 0, 1000,
                      percentOver(kFiveDecimalPiScale * squarePeak(1000), 1), kExact},
        OvershootCase{"square10000", Wave::Square, 0, 10000,
                      percentOver(kFiveDecimalPiScale * squarePeak(10000), 1), kExact},
        OvershootCase{"square32767", Wave::Square, 0, 32767,
                      percentOver(kFiveDecimalPiScale * squarePeak(32767), 1), kExact},
        OvershootCase{"sawtooth1000", Wave::Sawtooth, 0, 1000,
                      percentOver(kFiveDecimalPiScale * sawtoothPeak(1000), 1), kExact},
        OvershootCase{"sawtooth10000", Wave::Sawtooth, 0, 10000,
                      percentOver(kFiveDecimalPiScale * sawtoothPeak(10000), 1), kExact},
        OvershootCase{"sawtooth32767", Wave::Sawtooth, 0, 32767,
                      percentOver(kFiveDecimalPiScale * sawtoothPeak(32767), 1), kExact},
        pulseLimit("pulseHalf1000", 0.5, 1000), pulseLimit("pulseHalf32767", 0.5, 32767),
        pulseLimit("pulseQuarter1000", 0.25, 1000),
        pulseLimit("pulseQuarter10000", 0.25, 10000),
        pulseLimit("pulseQuarter32767", 0.25, 32767)),
    tables::rowName);
// clang-format on

// The corrections above shrink as 1/N: the square and the sawtooth tend to the Gibbs figure.
TEST(OvershootLimit, TendsToTheGibbsFigure)
{
    for (int n : {1000, 10000, 32767}) {
        // 5e-5 points for the five-decimal pi (8.4e-7 of a peak of 1.18), within 1e-4.
        EXPECT_NEAR(*dsp::overshootPercent(Wave::Square, n), kGibbsPercent, 5.0 / n / n + 1e-4);
        EXPECT_NEAR(*dsp::overshootPercent(Wave::Sawtooth, n), kGibbsPercent, 51.0 / n + 1e-4);
    }
}

struct NoFigureCase {
    const char* name;
    Wave wave;
    double dutyCycle;
    int harmonics;
};

class NoOvershoot : public ::testing::TestWithParam<NoFigureCase> { };

TEST_P(NoOvershoot, IsGivenForWavesThatDoNotJumpOrCountsNoScreenDraws)
{
    const NoFigureCase& c = GetParam();
    EXPECT_EQ(dsp::overshootPercent(c.wave, c.harmonics, c.dutyCycle), std::nullopt);
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInfinity = std::numeric_limits<double>::infinity();

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Waves, NoOvershoot,
    ::testing::Values(NoFigureCase{"triangle", Wave::Triangle, 0, 50},
                      NoFigureCase{"fullWave", Wave::FullWaveRectified, 0, 50},
                      NoFigureCase{"halfWave", Wave::HalfWaveRectified, 0, 50},
                      NoFigureCase{"pulseDutyZero", Wave::PulseTrain, 0, 50},
                      NoFigureCase{"pulseDutyOne", Wave::PulseTrain, 1, 50},
                      NoFigureCase{"pulseDutyNegative", Wave::PulseTrain, -0.25, 50},
                      NoFigureCase{"pulseDutyAboveOne", Wave::PulseTrain, 1.25, 50},
                      NoFigureCase{"pulseDutyNaN", Wave::PulseTrain, kNaN, 50},
                      NoFigureCase{"pulseDutyInfinite", Wave::PulseTrain, kInfinity, 50},
                      NoFigureCase{"squareNoHarmonics", Wave::Square, 0, 0},
                      NoFigureCase{"sawtoothNegativeCount", Wave::Sawtooth, 0, -3},
                      NoFigureCase{"squareAboveTheLargestCount", Wave::Square, 0, 32768},
                      NoFigureCase{"pulseAboveTheLargestCount", Wave::PulseTrain, 0.5, 32768}),
    tables::rowName);
// clang-format on

} // namespace
