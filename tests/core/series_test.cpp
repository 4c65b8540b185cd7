#include "dsp/series.h"
#include "support/direct_series.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using dsp::Curve;
using dsp::kPi;

constexpr double kAgreement = 1e-9; // logical units: far below a pixel, far above rounding noise

// One synthesis screen's curve, as both implementations produce it.
struct CurveKind {
    std::string name;
    std::function<Curve(int)> fast;
    std::function<Curve(int)> direct;
    std::function<double(int, double)> directY;
    double timeStep;
    double xAtZero;
    double xPerRadian;
    std::size_t sweepSteps; // steps of the time loop, start point not counted
    double lastX;
};

const std::vector<CurveKind>& curveKinds()
{
    namespace direct = dsp::direct;
    // clang-format off
    static const std::vector<CurveKind> kinds{
        {"square", dsp::squareWaveCurve, direct::squareWaveCurve, direct::squareWaveY, 0.02, 10,
         37, 629, 474.72},
        {"triangle", dsp::triangleWaveCurve, direct::triangleWaveCurve, direct::triangleWaveY, 0.02,
         8, 63, 374, 477.98},
        {"sawtooth", dsp::sawtoothWaveCurve, direct::sawtoothWaveCurve, direct::sawtoothWaveY, 0.02,
         8, 63, 374, 477.98},
        {"fullWave", dsp::fullWaveRectifiedCurve, direct::fullWaveRectifiedCurve,
         direct::fullWaveRectifiedY, 0.04, 8, 19, 619, 477.68},
        {"halfWave", dsp::halfWaveRectifiedCurve, direct::halfWaveRectifiedCurve,
         direct::halfWaveRectifiedY, 0.04, 8, 19, 619, 477.68},
        // 0.37 is an awkward duty cycle: no sin(n pi D) vanishes or repeats early.
        {"pulse", [](int n) { return dsp::pulseTrainCurve(n, 0.37); },
         [](int n) { return direct::pulseTrainCurve(n, 0.37); },
         [](int n, double t) { return direct::pulseTrainY(n, 0.37, t); }, 0.02, 9, 19, 1234,
         477.54},
    };
    // clang-format on
    return kinds;
}

// The screens' loops add the step to t over and over; t therefore drifts from i * step, and the
// curves must follow that drift (near a jump of a 32767-harmonic square wave, 1e-15 in t moves
// the curve by more than 1e-9).
std::vector<double> accumulatedTimes(double step, std::size_t count)
{
    std::vector<double> times;
    double t = 0;
    for (std::size_t i = 0; i < count; ++i, t += step)
        times.push_back(t);
    return times;
}

// ---- Agreement with the plain sums ----------------------------------------------------------

struct AgreementCase {
    const CurveKind* kind;
    int harmonics;
};

void PrintTo(const AgreementCase& c, std::ostream* os)
{
    *os << c.kind->name << " with " << c.harmonics << " harmonics";
}

std::string caseName(const ::testing::TestParamInfo<AgreementCase>& info)
{
    return info.param.kind->name + "_" + std::to_string(info.param.harmonics);
}

std::vector<AgreementCase> agreementCases(std::initializer_list<int> counts)
{
    std::vector<AgreementCase> cases;
    for (const CurveKind& kind : curveKinds())
        for (int harmonics : counts)
            cases.push_back({&kind, harmonics});
    return cases;
}

class WholeCurveAgreement : public ::testing::TestWithParam<AgreementCase> { };

TEST_P(WholeCurveAgreement, MatchesThePlainSumAtEveryPoint)
{
    const auto& [kind, harmonics] = GetParam();
    const Curve fast = kind->fast(harmonics);
    const Curve reference = kind->direct(harmonics);
    ASSERT_EQ(fast.points.size(), reference.points.size());
    for (std::size_t i = 0; i < fast.points.size(); ++i) {
        EXPECT_EQ(fast.points[i].x, reference.points[i].x) << "point " << i;
        ASSERT_NEAR(fast.points[i].y, reference.points[i].y, kAgreement) << "point " << i;
    }
}

// 0 and 1 cover the empty sum and the count whose half-wave loop is skipped; 2 and 3 take the
// first steps of the rotation; 1000 crosses the re-seeding of the phasors.
INSTANTIATE_TEST_SUITE_P(Counts, WholeCurveAgreement,
                         ::testing::ValuesIn(agreementCases({0, 1, 2, 3, 10, 1000, 1025})),
                         caseName);

class LargestCountAgreement : public ::testing::TestWithParam<AgreementCase> { };

// The plain sum of the whole curve takes up to a second here, so every seventh point is checked,
// plus the first points, where the square and sawtooth curves jump.
TEST_P(LargestCountAgreement, MatchesThePlainSumAtSampledPoints)
{
    const auto& [kind, harmonics] = GetParam();
    const Curve fast = kind->fast(harmonics);
    ASSERT_EQ(fast.points.size(), kind->sweepSteps + 1);
    const std::vector<double> times = accumulatedTimes(kind->timeStep, kind->sweepSteps);
    for (std::size_t i = 0; i < times.size(); i += i < 4 ? 1 : 7)
        ASSERT_NEAR(fast.points[i + 1].y, kind->directY(harmonics, times[i]), kAgreement)
            << "t = " << times[i];
}

INSTANTIATE_TEST_SUITE_P(Counts, LargestCountAgreement,
                         ::testing::ValuesIn(agreementCases({32767})), caseName);

// ---- Time axes ------------------------------------------------------------------------------

class TimeAxis : public ::testing::TestWithParam<CurveKind> { };

TEST_P(TimeAxis, HasTheSweepsPointCountWhateverTheHarmonics)
{
    for (int harmonics : {0, 3, 32767})
        EXPECT_EQ(GetParam().fast(harmonics).points.size(), GetParam().sweepSteps + 1)
            << harmonics << " harmonics";
}

TEST_P(TimeAxis, PlacesPointsAtAccumulatedTimes)
{
    const CurveKind& kind = GetParam();
    const Curve curve = kind.fast(3);
    const std::vector<double> times = accumulatedTimes(kind.timeStep, kind.sweepSteps);
    for (std::size_t i = 0; i < times.size(); ++i)
        ASSERT_EQ(curve.points[i + 1].x, kind.xPerRadian * times[i] + kind.xAtZero) << i;
}

// The clipped sweeps stop at the last step left of x = 478, the others at their time limit; no
// point ever lies outside the graticule.
TEST_P(TimeAxis, StaysInsideTheGraticule)
{
    const Curve curve = GetParam().fast(32767);
    for (const dsp::PlotPoint& p : curve.points) {
        EXPECT_GE(p.x, 8);
        EXPECT_LE(p.x, 478);
    }
    EXPECT_NEAR(curve.points.back().x, GetParam().lastX, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Curves, TimeAxis, ::testing::ValuesIn(curveKinds()), tables::rowName);

// ---- Start points and known values ----------------------------------------------------------

struct OpeningCase {
    const char* name;
    std::function<Curve()> curve;
    dsp::PlotPoint start;
    double firstY; // y of the first computed point, at t = 0
    double tolerance;
};

class Opening : public ::testing::TestWithParam<OpeningCase> { };

TEST_P(Opening, StartsAtThePenPositionThenTheFirstSum)
{
    const auto& c = GetParam();
    const Curve curve = c.curve();
    EXPECT_EQ(curve.points[0].x, c.start.x);
    EXPECT_NEAR(curve.points[0].y, c.start.y, c.tolerance);
    EXPECT_EQ(curve.points[1].x, c.start.x);
    EXPECT_NEAR(curve.points[1].y, c.firstY, c.tolerance);
}

// Triangle, 3 harmonics: every cosine is 1 at t = 0, so it starts on its peak,
// 196 - (8 A / pi^2)(1 + 1/9 + 1/25), about 137.2. Pulse 13 / 0.2: the harmonics sum to 105.49 at t
// = 0 on top of the dc of 25.2. Full wave, 3 harmonics: the partial sum at t = 0 is 5.73, not 0.
const double kTrianglePeak = 196 - 504 / (kPi * kPi) * (1 + 1.0 / 9 + 1.0 / 25);

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Curves, Opening,
    ::testing::Values(
        OpeningCase{"square", [] { return dsp::squareWaveCurve(3); }, {10, 196}, 196, 1e-12},
        OpeningCase{"triangle", [] { return dsp::triangleWaveCurve(3); }, {8, kTrianglePeak},
                    kTrianglePeak, 1e-9},
        OpeningCase{"sawtooth", [] { return dsp::sawtoothWaveCurve(3); }, {8, 196}, 196, 1e-12},
        OpeningCase{"fullWave", [] { return dsp::fullWaveRectifiedCurve(3); }, {8, 196}, 190.27,
                    0.005},
        OpeningCase{"halfWave", [] { return dsp::halfWaveRectifiedCurve(3); }, {8, 133},
                    196 - 63 / kPi * (1 + kPi / 2) - 2 * 63 / kPi * (1.0 / 3 - 1.0 / 15 + 1.0 / 35),
                    1e-9},
        OpeningCase{"pulse", [] { return dsp::pulseTrainCurve(13, 0.2); }, {9, 196}, 65.31,
                    0.005}),
    tables::rowName);
// clang-format on

double peakDeviation(const Curve& curve, double level)
{
    double peak = 0;
    for (const dsp::PlotPoint& p : curve.points)
        peak = std::max(peak, std::abs(p.y - level));
    return peak;
}

double largestDifference(const Curve& a, const Curve& b)
{
    double largest = 0;
    for (std::size_t i = 0; i < a.points.size(); ++i)
        largest = std::max(largest, std::abs(a.points[i].y - b.points[i].y));
    return largest;
}

// A single harmonic, or the difference of two neighbouring counts, is one sine whose peak the
// 0.02 sampling meets within 0.05 units.
TEST(SeriesAmplitude, SquareWithOneHarmonicIsASineOf4AOverPi)
{
    EXPECT_NEAR(peakDeviation(dsp::squareWaveCurve(1), 196), 4 * 63 / kPi, 0.05);
}

TEST(SeriesAmplitude, SawtoothHarmonicsFallAs2AOverNPi)
{
    EXPECT_NEAR(peakDeviation(dsp::sawtoothWaveCurve(1), 196), 40.1, 0.05);
    for (int n : {2, 3}) {
        const double amplitude =
            largestDifference(dsp::sawtoothWaveCurve(n), dsp::sawtoothWaveCurve(n - 1));
        EXPECT_NEAR(amplitude, 2 * 63 / (n * kPi), 0.05) << "harmonic " << n;
    }
}

// ---- Flat and degenerate curves -------------------------------------------------------------

struct FlatCase {
    const char* name;
    std::function<Curve()> curve;
    double level;
    double tolerance;
};

class FlatCurve : public ::testing::TestWithParam<FlatCase> { };

TEST_P(FlatCurve, StaysOnItsLevelAfterThePenIsPlaced)
{
    const auto& c = GetParam();
    const Curve curve = c.curve();
    for (std::size_t i = 1; i < curve.points.size(); ++i)
        ASSERT_NEAR(curve.points[i].y, c.level, c.tolerance) << "point " << i;
}

// Full wave with no harmonics: the dc level 2A/pi alone. Pulse D = 0: every sin(n pi D) and the
// dc are 0. Pulse D = 1: sin(n * 3.14159) is only nearly 0, so the curve lies within a few
// thousandths of the high level 196 - 2A.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Curves, FlatCurve,
    ::testing::Values(
        FlatCase{"squareNone", [] { return dsp::squareWaveCurve(0); }, 196, 0},
        FlatCase{"triangleNone", [] { return dsp::triangleWaveCurve(0); }, 196, 0},
        FlatCase{"sawtoothNone", [] { return dsp::sawtoothWaveCurve(0); }, 196, 0},
        FlatCase{"fullWaveNone", [] { return dsp::fullWaveRectifiedCurve(0); }, 155.89, 0.005},
        FlatCase{"pulseNone", [] { return dsp::pulseTrainCurve(0, 0.2); }, 196 - 25.2, 1e-12},
        FlatCase{"pulseDutyZero", [] { return dsp::pulseTrainCurve(13, 0); }, 196, 0},
        FlatCase{"pulseDutyOne", [] { return dsp::pulseTrainCurve(13, 1); }, 70, 0.005}),
    tables::rowName);
// clang-format on

TEST(HalfWave, ZeroAndOneHarmonicsGiveDcAndFundamentalAlone)
{
    const Curve none = dsp::halfWaveRectifiedCurve(0);
    const Curve one = dsp::halfWaveRectifiedCurve(1);
    const std::vector<double> times = accumulatedTimes(0.04, 619);
    for (std::size_t i = 0; i < times.size(); ++i) {
        const double expected = 196 - 63 / kPi * (1 + kPi / 2 * std::cos(times[i]));
        ASSERT_NEAR(none.points[i + 1].y, expected, 1e-12) << i;
        ASSERT_EQ(one.points[i + 1].y, none.points[i + 1].y) << i;
    }
}

// Two harmonics add the even harmonics 2 and 4 at once: (2A/pi)(1/3 - 1/15) at t = 0.
TEST(HalfWave, TwoHarmonicsAddTheSecondAndFourth)
{
    const double added =
        dsp::halfWaveRectifiedCurve(1).points[1].y - dsp::halfWaveRectifiedCurve(2).points[1].y;
    EXPECT_NEAR(added, 2 * 63 / kPi * (1.0 / 3 - 1.0 / 15), 1e-9);
}

// Duty cycle 0.5 is a square wave between 196 and 70: half way through the low part (t = pi)
// and the high part (t = 0) the ripple of 13 harmonics is small.
TEST(Pulse, HalfDutyCycleSwingsBetweenTheTwoLevels)
{
    const Curve curve = dsp::pulseTrainCurve(13, 0.5);
    EXPECT_NEAR(curve.points[1].y, 70, 3);
    EXPECT_NEAR(curve.points[1 + 157].y, 196, 3); // t = 3.14
}

} // namespace
