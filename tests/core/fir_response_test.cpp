#include "fir/response.h"

#include "fir/design.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace dsp::fir {
namespace {

// Sweep point j lies at u = j / 100 (up to the rounding of the repeated addition).
double magnitudeAt(const std::vector<ResponsePoint>& sweep, double u)
{
    return magnitude(sweep.at(static_cast<std::size_t>(std::lround(u * 100))));
}

std::size_t loudestPoint(const std::vector<ResponsePoint>& sweep)
{
    const auto louder = [](const ResponsePoint& a, const ResponsePoint& b) {
        return magnitude(a) < magnitude(b);
    };
    return static_cast<std::size_t>(std::max_element(sweep.begin(), sweep.end(), louder)
                                    - sweep.begin());
}

TEST(FirResponseIndices, RepeatedAdditionDecidesWhetherHalfTheSamplingRateIsReached)
{
    struct Row {
        int taps;
        std::size_t points;
    };
    // For N = 1..4 the sum overshoots N/2 just before reaching it: 50 N points, none at fs/2.
    const Row rows[] = {{1, 50}, {2, 100}, {3, 150}, {4, 200}, {15, 751},
                        {16, 801}, {21, 1051}, {29, 1451}, {500, 25001}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.taps << " taps");
        const std::vector<double> u = frequencyIndices(r.taps);
        ASSERT_EQ(u.size(), r.points);
        EXPECT_EQ(u.front(), 0.0);
        EXPECT_LE(u.back(), r.taps / 2.0);
    }
    EXPECT_NEAR(frequencyIndices(1).back(), 0.49, 1e-12);
    // The last of 751 points falls a hair short of 7.5 and is still drawn at the right edge.
    const double last = frequencyIndices(15).back();
    EXPECT_LT(last, 7.5);
    EXPECT_NEAR(last, 7.4999999999999, 5e-14);
    EXPECT_NEAR(responseX(last, 15), 478, 1e-9);
}

struct AgreementCase {
    std::string name;
    std::vector<double> taps;
};

class FirResponseAgreement : public testing::TestWithParam<AgreementCase> {};

TEST_P(FirResponseAgreement, FastSweepMatchesTheTermByTermSums)
{
    const std::vector<double>& taps = GetParam().taps;
    const std::vector<ResponsePoint> fast = responseSweep(taps);
    const std::vector<ResponsePoint> direct = directResponseSweep(taps);
    ASSERT_EQ(fast.size(), direct.size());
    for (std::size_t j = 0; j < fast.size(); ++j) {
        SCOPED_TRACE(testing::Message() << "u = " << direct[j].u);
        ASSERT_EQ(fast[j].u, direct[j].u);
        ASSERT_NEAR(magnitude(fast[j]), magnitude(direct[j]), 1e-9);
        // The phase trace reads R and I themselves. They agree to rounding (about 1e-11 for
        // 500 taps), so a sweep point taken a hair off its u (some 1e-10 in R or I) shows here.
        ASSERT_NEAR(fast[j].re, direct[j].re, 1e-10);
        ASSERT_NEAR(fast[j].im, direct[j].im, 1e-10);
    }
}

INSTANTIATE_TEST_SUITE_P(
    FirTapTables, FirResponseAgreement,
    testing::Values(AgreementCase{"Lowpass1", blackmanLowpassTaps(1000, 150, 1)},
                    AgreementCase{"Highpass2", highpassTaps(1000, 350, 2)},
                    AgreementCase{"Lowpass15", blackmanLowpassTaps(1000, 150, 15)},
                    AgreementCase{"Rectangular16", rectangularLowpassTaps(1000, 150, 16)},
                    AgreementCase{"Bandpass100", bandpassTaps(1000, 100, 250, 100)},
                    AgreementCase{"Bandstop100", bandstopTaps(1000, 200, 250, 100)},
                    // Goertzel's rounding grows fastest near 0 Hz and fs/2 with many taps.
                    AgreementCase{"NarrowLowpass500", blackmanLowpassTaps(1000, 10, 500)},
                    AgreementCase{"Rectangular500", rectangularLowpassTaps(1000, 499.9, 500)}),
    [](const testing::TestParamInfo<AgreementCase>& table) { return table.param.name; });

TEST(FirResponseLowpass, DefaultDesignStartsAtUnityGain)
{
    const std::vector<double> taps = blackmanLowpassTaps(1000, 150, 15);
    const std::vector<ResponsePoint> sweep = responseSweep(taps);
    ASSERT_EQ(sweep.size(), 751u);
    const double dc = magnitude(sweep.front());
    EXPECT_NEAR(dc, 1.0001, 5e-5);
    EXPECT_NEAR(linearTraceY(dc, kLinearScale), 100, 0.05);
    // Measured against the centre tap 1/3, not against the passband gain.
    EXPECT_NEAR(logTraceY(dc, logReference(taps)), 60.4, 0.05);
}

TEST(FirResponseLowpass, FlatDesignsDrawFlatTraces)
{
    struct Row {
        const char* name;
        std::vector<double> taps;
        double tolerance;
    };
    const Row rows[] = {
        {"one tap", blackmanLowpassTaps(1000, 150, 1), 1e-9},
        {"cutoff 499.9 Hz", blackmanLowpassTaps(1000, 499.9, 15), 1e-5},
        {"highpass at 10 Hz", highpassTaps(1000, 10, 15), 1e-5},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const double reference = logReference(r.taps);
        for (const ResponsePoint& p : responseSweep(r.taps)) {
            ASSERT_NEAR(linearTraceY(magnitude(p), kLinearScale), 100, 280 * r.tolerance);
            ASSERT_NEAR(logTraceY(magnitude(p), reference), 89, 30 * r.tolerance);
        }
    }
}

TEST(FirResponseLowpass, NarrowBandOverManyTapsLiftsTheLogPassbandOffTheCanvas)
{
    const std::vector<double> taps = blackmanLowpassTaps(1000, 10, 500);
    const std::vector<ResponsePoint> sweep = responseSweep(taps);
    EXPECT_NEAR(linearTraceY(magnitude(sweep.front()), kLinearScale), 100, 1);
    EXPECT_NEAR(logTraceY(magnitude(sweep.front()), logReference(taps)), -10, 1);
}

TEST(FirResponseLowpass, RectangularDefaultHitsTheIdealOnTheBinsAndRipplesBetween)
{
    const std::vector<ResponsePoint> sweep = responseSweep(rectangularLowpassTaps(1000, 150, 15));
    for (int bin = 0; bin <= 7; ++bin)
        EXPECT_NEAR(magnitudeAt(sweep, bin), bin <= 2 ? 1.0 : 0.0, 1e-5) << "bin " << bin;
    EXPECT_NEAR(magnitudeAt(sweep, 2.5), 0.538, 5e-4);
    EXPECT_NEAR(linearTraceY(magnitudeAt(sweep, 2.5), kLinearScale), 229, 0.5);
    EXPECT_NEAR(magnitudeAt(sweep, 7.5), 0.076, 5e-4);
    EXPECT_NEAR(linearTraceY(magnitudeAt(sweep, 7.5), kLinearScale), 359, 0.5);
}

TEST(FirResponsePhase, DefaultTraceStartsAtZeroAndFirstWrapsNearX77)
{
    const std::vector<ResponsePoint> sweep = responseSweep(blackmanLowpassTaps(1000, 150, 15));
    EXPECT_EQ(responseX(sweep[0].u, 15), 10);
    EXPECT_EQ(phaseTraceY(phaseDegrees(sweep[0])), 196);
    // The centre tap sits at time 7: 7 x 360 / 15 = 168 degrees per bin.
    EXPECT_NEAR(phaseDegrees(sweep[1]), -1.68, 0.01);
    std::size_t wrap = 1;
    while (wrap < sweep.size()
           && phaseDegrees(sweep[wrap]) - phaseDegrees(sweep[wrap - 1]) < 180)
        ++wrap;
    ASSERT_EQ(wrap, 108u); // between u = 1.07 and u = 1.08
    EXPECT_NEAR(phaseTraceY(phaseDegrees(sweep[107])), 337, 1);
    EXPECT_NEAR(phaseTraceY(phaseDegrees(sweep[108])), 56, 1);
    EXPECT_NEAR(responseX(sweep[108].u, 15), 77, 0.5);
}

TEST(FirResponseHighpass, DefaultIsTheLowpassMirroredAboutAQuarterOfTheSamplingRate)
{
    const std::vector<double> taps = highpassTaps(1000, 350, 15);
    const std::vector<ResponsePoint> sweep = responseSweep(taps);
    ASSERT_EQ(sweep.size(), 751u);
    EXPECT_NEAR(magnitude(sweep.front()), 0.00013, 5e-6);
    EXPECT_NEAR(linearTraceY(magnitude(sweep.front()), kLinearScale), 380, 0.05);
    EXPECT_NEAR(magnitude(sweep.back()), 1.0001, 5e-5);
    EXPECT_NEAR(linearTraceY(magnitude(sweep.back()), kLinearScale), 100, 0.05);
    EXPECT_NEAR(logTraceY(magnitude(sweep.back()), logReference(taps)), 60.4, 0.05);
}

TEST(FirResponseHighpass, EdgeCasesAtTheTopOfTheBand)
{
    // Thirteen taps: cmax is a neighbour of the negative centre tap, so the log trace is higher.
    const std::vector<double> thirteen = highpassTaps(1000, 350, 13);
    EXPECT_NEAR(logTraceY(magnitude(responseSweep(thirteen).back()), logReference(thirteen)),
                52.3, 0.05);
    EXPECT_NEAR(magnitude(responseSweep(highpassTaps(1000, 499.9, 15)).back()), 0.448, 5e-4);
}

TEST(FirResponseBandpass, DefaultPeaksAtTheCentreFrequency)
{
    const std::vector<double> taps = bandpassTaps(1000, 100, 250, 21);
    const std::vector<ResponsePoint> sweep = responseSweep(taps);
    ASSERT_EQ(sweep.size(), 1051u);
    EXPECT_EQ(loudestPoint(sweep), 525u); // u = 5.25 is 250 Hz
    const double peak = magnitude(sweep[525]);
    EXPECT_NEAR(peak, 0.4685, 5e-5);
    EXPECT_NEAR(linearTraceY(peak, kBandpassLinearScale), 98.9, 0.05);
    EXPECT_NEAR(logTraceY(peak, logReference(taps)), 51.3, 0.05);
    EXPECT_NEAR(magnitude(sweep.front()), 0.00035, 5e-6);
    EXPECT_NEAR(magnitude(sweep.back()), 0.00035, 5e-6);
}

TEST(FirResponseBandpass, OtherAnswers)
{
    const std::vector<ResponsePoint> even = responseSweep(bandpassTaps(1000, 100, 250, 20));
    EXPECT_EQ(loudestPoint(even), 500u); // u = 5.0 is 250 Hz with 20 taps
    EXPECT_NEAR(magnitude(even[500]), 0.4658, 5e-5);

    // The band reaches past fs/2; its gain there lies above the canvas.
    const double top = magnitude(responseSweep(bandpassTaps(1000, 100, 480, 21)).back());
    EXPECT_NEAR(top, 0.88, 5e-3);
    EXPECT_NEAR(linearTraceY(top, kBandpassLinearScale), -148, 3);
}

TEST(FirResponseBandstop, DefaultNotchesAtTheCentreFrequency)
{
    const std::vector<double> taps = bandstopTaps(1000, 200, 250, 29);
    const std::vector<ResponsePoint> sweep = responseSweep(taps);
    ASSERT_EQ(sweep.size(), 1451u);
    const double reference = logReference(taps);
    for (const ResponsePoint& edge : {sweep.front(), sweep.back()}) {
        EXPECT_NEAR(magnitude(edge), 1.00004, 5e-6);
        EXPECT_NEAR(linearTraceY(magnitude(edge), kBandstopLinearScale), 80, 0.05);
        EXPECT_NEAR(logTraceY(magnitude(edge), reference), 75.7, 0.05);
    }
    const double notch = magnitudeAt(sweep, 7.25); // 250 Hz
    EXPECT_NEAR(notch, 0.00026, 5e-6);
    EXPECT_NEAR(logTraceY(notch, reference), 291, 0.5);
}

TEST(FirResponseBandstop, OtherAnswers)
{
    const std::vector<double> single = bandstopTaps(1000, 200, 250, 1);
    const std::vector<ResponsePoint> flat = responseSweep(single);
    ASSERT_EQ(flat.size(), 50u);
    for (const ResponsePoint& p : flat) {
        ASSERT_NEAR(linearTraceY(magnitude(p), kBandstopLinearScale), 200, 1e-8);
        ASSERT_NEAR(logTraceY(magnitude(p), logReference(single)), 89, 1e-8);
    }
    EXPECT_NEAR(magnitude(responseSweep(bandstopTaps(1000, 200, 50, 29)).front()), 0.901, 5e-4);
}

TEST(FirResponseTraces, AllNegativeDesignsDrawFiniteTraces)
{
    const std::vector<double> designs[] = {highpassTaps(1000, 350, 1),
                                           bandpassTaps(1000, 450, 200, 7)};
    for (const std::vector<double>& taps : designs) {
        SCOPED_TRACE(testing::Message() << taps.size() << " taps");
        ASSERT_EQ(largestTap(taps), 0.0);
        const double reference = logReference(taps);
        for (const ResponsePoint& p : responseSweep(taps)) {
            ASSERT_TRUE(std::isfinite(logTraceY(magnitude(p), reference)));
            ASSERT_TRUE(std::isfinite(phaseTraceY(phaseDegrees(p))));
        }
    }
    // The single highpass tap of about -1 is its own reference: flat on y = 89.
    const std::vector<double> single = highpassTaps(1000, 350, 1);
    EXPECT_NEAR(logTraceY(magnitude(responseSweep(single).front()), logReference(single)), 89,
                1e-9);
}

TEST(FirResponseTraces, LogTraceFloorsAt384AndTakesZeroMagnitudeThere)
{
    struct Row {
        double magnitude, reference, y;
    };
    const Row rows[] = {
        {0.5, 0.5, 89},     // at the reference
        {5, 0.5, 29},       // 20 dB above: 60 units higher, no clipping at the top
        {1e-4, 1, 329},     // 80 dB below
        {1e-5, 1, 384},     // 100 dB below: on the floor
        {0, 0.25, 384},     // no logarithm: on the floor, not at -infinity
        {1e-320, 1, 384},   // the ratio underflows
        {1, 0, 384},        // no usable reference: on the floor, not at -infinity
        {0, 0, 384},
    };
    for (const Row& r : rows)
        EXPECT_NEAR(logTraceY(r.magnitude, r.reference), r.y, 1e-9)
            << r.magnitude << " against " << r.reference;
}

TEST(FirResponseTraces, PhaseFollowsTheQuadrantRuleAndIsNinetyDegreesWhereRIsZero)
{
    struct Row {
        double re, q, degrees;
    };
    const double quarter = std::atan(1.0) * 180 / kPi; // 45 degrees by the five-decimal pi
    const Row rows[] = {
        {1, 0, 0},
        {1, 1, quarter},
        {1, -1, -quarter},
        {-1, 1, 180 - quarter},
        {-1, -1, quarter - 180},
        {-1, 0, 0},    // R < 0 with Q = 0 takes neither correction
        {0, 2, 90},
        {-0.0, 2, 90},
        {0, -1e-300, -90},
        {0, 0, 0},
    };
    for (const Row& r : rows)
        EXPECT_DOUBLE_EQ(phaseDegrees(r.re, r.q), r.degrees) << "R " << r.re << ", Q " << r.q;
}

TEST(FirResponseTraces, PlotCoordinatesOfTheTraces)
{
    EXPECT_EQ(responseX(0, 15), 10);
    EXPECT_EQ(responseX(7.5, 15), 478);
    EXPECT_NEAR(responseX(0.49, 1), 468.64, 1e-9);
    EXPECT_EQ(linearTraceY(0, kLinearScale), 380);
    EXPECT_EQ(linearTraceY(1, kLinearScale), 100);
    EXPECT_EQ(linearTraceY(0.5, kBandpassLinearScale), 80);
    EXPECT_EQ(linearTraceY(1, kBandstopLinearScale), 80);
    EXPECT_EQ(phaseTraceY(0), 196);
    EXPECT_NEAR(phaseTraceY(180), 54.82, 0.005);
    EXPECT_NEAR(phaseTraceY(-180), 337.18, 0.005);
}

} // namespace
} // namespace dsp::fir
