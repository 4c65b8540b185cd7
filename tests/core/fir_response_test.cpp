#include "dsp/fir_response.h"

#include "dsp/fir_design.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace dsp::fir {
namespace {

using tables::PrintTo; // rows print as their names in failure messages

TEST(FirResponseIndices, RepeatedAdditionDecidesWhetherHalfTheSamplingRateIsReached)
{
    // For N = 1..4 the sum overshoots N/2 just before reaching it: 50 N points, none at fs/2.
    const std::pair<int, std::size_t> rows[] = {{1, 50},   {2, 100},   {3, 150},   {4, 200},
                                                {15, 751}, {21, 1051}, {29, 1451}, {500, 25001}};
    for (const auto& [taps, points] : rows) {
        const std::vector<double> u = frequencyIndices(taps);
        ASSERT_EQ(u.size(), points) << taps << " taps";
        EXPECT_LE(u.back(), taps / 2.0) << taps << " taps";
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

// The largest |H| of a sweep.
double peakMagnitude(const std::vector<ResponsePoint>& sweep)
{
    double peak = 0;
    for (const ResponsePoint& point : sweep)
        peak = std::max(peak, magnitude(point));
    return peak;
}

class FirResponseAgreement : public testing::TestWithParam<AgreementCase> { };

// The fast sweep takes point j at u = j / 100 exactly, the drawn u only within some 1e-10 of it
// after the repeated addition (8e-11 at 500 taps), so R and I may move by a few 1e-10 where the
// response turns fastest. The transform itself is good to some 1e-15 of the peak.
TEST_P(FirResponseAgreement, FastSweepMatchesTheTermByTermSums)
{
    const std::vector<ResponsePoint> fast = responseSweep(GetParam().taps);
    const std::vector<ResponsePoint> direct = directResponseSweep(GetParam().taps);
    ASSERT_EQ(fast.size(), direct.size());
    const double tolerance = 1e-9 * peakMagnitude(direct);
    for (std::size_t j = 0; j < fast.size(); ++j) {
        SCOPED_TRACE(testing::Message() << "u = " << direct[j].u);
        ASSERT_EQ(fast[j].u, direct[j].u);
        ASSERT_NEAR(magnitude(fast[j]), magnitude(direct[j]), tolerance);
        // The phase trace reads R and I themselves.
        ASSERT_NEAR(fast[j].re, direct[j].re, tolerance);
        ASSERT_NEAR(fast[j].im, direct[j].im, tolerance);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    FirTapTables, FirResponseAgreement,
    testing::Values(AgreementCase{"Lowpass1", blackmanLowpassTaps(1000, 150, 1)},
                    AgreementCase{"Highpass2", highpassTaps(1000, 350, 2)},
                    AgreementCase{"Lowpass15", blackmanLowpassTaps(1000, 150, 15)},
                    AgreementCase{"Rectangular16", rectangularLowpassTaps(1000, 150, 16)},
                    AgreementCase{"Bandpass100", bandpassTaps(1000, 100, 250, 100)},
                    AgreementCase{"Bandstop100", bandstopTaps(1000, 200, 250, 100)},
                    AgreementCase{"NarrowLowpass500", blackmanLowpassTaps(1000, 10, 500)},
                    AgreementCase{"Rectangular500", rectangularLowpassTaps(1000, 499.9, 500)},
                    // Each screen's design at the largest count; the highpass and bandstop
                    // turn fastest near fs/2, where u has drifted most.
                    AgreementCase{"DefaultRectangular500", rectangularLowpassTaps(1000, 150, 500)},
                    AgreementCase{"DefaultLowpass500", blackmanLowpassTaps(1000, 150, 500)},
                    AgreementCase{"DefaultHighpass500", highpassTaps(1000, 350, 500)},
                    AgreementCase{"DefaultBandpass500", bandpassTaps(1000, 100, 250, 500)},
                    AgreementCase{"DefaultBandstop500", bandstopTaps(1000, 200, 250, 500)}),
    tables::rowName);
// clang-format on

struct ScreenDesign {
    std::string name;
    std::vector<double> (*taps)(int count);
};

class FirResponseTapCounts : public testing::TestWithParam<ScreenDesign> { };

// Every count a screen takes, each against the sums term by term written out here, at every
// 97th point (a different set for each count) and the last: all of them would cost 50 N^2
// terms for each N.
TEST_P(FirResponseTapCounts, EveryCountAgreesWithTheSumsWithinABillionthOfThePeak)
{
    for (int n = 1; n <= 500; ++n) {
        SCOPED_TRACE(testing::Message() << n << " taps");
        const std::vector<double> taps = GetParam().taps(n);
        const std::vector<ResponsePoint> fast = responseSweep(taps);
        ASSERT_EQ(fast.size(), frequencyIndices(n).size());
        std::vector<std::size_t> checked;
        for (std::size_t j = static_cast<std::size_t>(n) % 97; j < fast.size(); j += 97)
            checked.push_back(j);
        checked.push_back(fast.size() - 1);
        std::vector<std::complex<double>> sums;
        double peak = 0;
        for (std::size_t j : checked) {
            std::complex<double> sum = 0;
            for (int k = 0; k < n; ++k)
                sum += taps[k] * std::polar(1.0, 2 * kPi * k * fast[j].u / n);
            sums.push_back(sum);
            peak = std::max(peak, std::abs(sum));
        }
        for (std::size_t i = 0; i < checked.size(); ++i) {
            const ResponsePoint& point = fast[checked[i]];
            ASSERT_NEAR(point.re, sums[i].real(), 1e-9 * peak) << "u = " << point.u;
            ASSERT_NEAR(point.im, sums[i].imag(), 1e-9 * peak) << "u = " << point.u;
        }
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Screens, FirResponseTapCounts,
    testing::Values(
        ScreenDesign{"Rectangular", [](int n) { return rectangularLowpassTaps(1000, 150, n); }},
        ScreenDesign{"Lowpass", [](int n) { return blackmanLowpassTaps(1000, 150, n); }},
        ScreenDesign{"Highpass", [](int n) { return highpassTaps(1000, 350, n); }},
        ScreenDesign{"Bandpass", [](int n) { return bandpassTaps(1000, 100, 250, n); }},
        ScreenDesign{"Bandstop", [](int n) { return bandstopTaps(1000, 200, 250, n); }}),
    [](const testing::TestParamInfo<ScreenDesign>& row) { return row.param.name; });
// clang-format on

// A redrawn design gives the same bits whether its transforms come from the cache, are built
// afresh after other counts pushed them out, or run in several threads at once.
TEST(FirResponseRepeats, TheSameDesignGivesTheSameBitsEveryTime)
{
    const auto bitsOf = [](const std::vector<ResponsePoint>& sweep) {
        std::vector<double> values;
        for (const ResponsePoint& p : sweep)
            values.insert(values.end(), {p.u, p.re, p.im});
        return values;
    };
    const std::vector<double> taps = highpassTaps(1000, 350, 101);
    const std::vector<double> first = bitsOf(responseSweep(taps));
    EXPECT_EQ(bitsOf(responseSweep(taps)), first) << "again";
    for (int n = 2; n < 12; ++n)
        responseSweep(bandpassTaps(1000, 100, 250, n));
    EXPECT_EQ(bitsOf(responseSweep(taps)), first) << "after other counts";
    std::vector<std::vector<double>> results(4);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < results.size(); ++t) {
        threads.emplace_back([&, t] {
            // Each thread builds another count first, so the threads also plan at once.
            responseSweep(blackmanLowpassTaps(1000, 150, 200 + static_cast<int>(t)));
            results[t] = bitsOf(responseSweep(taps));
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (const std::vector<double>& result : results)
        EXPECT_EQ(result, first) << "in a thread";
    // Prepared ahead on another thread while this one asks for it: the same bits.
    for (int n = 2; n < 12; ++n)
        responseSweep(bandpassTaps(1000, 100, 250, n));
    std::thread preparing([] { prepareResponseSweep(101); });
    const std::vector<double> meanwhile = bitsOf(responseSweep(taps));
    preparing.join();
    EXPECT_EQ(meanwhile, first) << "while prepared";
    EXPECT_EQ(bitsOf(responseSweep(taps)), first) << "once prepared";
}

// One quoted sweep point: its magnitude and, where quoted, the heights of the linear and
// logarithmic traces there, to the quoted unit or tenth. u < 0 stands for the sweep's last point.
struct TracePoint {
    std::string name;
    std::vector<double> taps;
    double linearScale;
    double u;
    double magnitude, tolerance;
    std::optional<double> linearY, logY;
    double yTolerance = 0.05;
};

TEST(FirResponseTraces, MagnitudesAndTraceHeightsAtTheQuotedPoints)
{
    const double last = -1;
    const std::vector<double> lowpass = blackmanLowpassTaps(1000, 150, 15);
    const std::vector<double> rectangular = rectangularLowpassTaps(1000, 150, 15);
    const std::vector<double> highpass = highpassTaps(1000, 350, 15);
    const std::vector<double> bandpass = bandpassTaps(1000, 100, 250, 21);
    const std::vector<double> bandstop = bandstopTaps(1000, 200, 250, 29);
    // clang-format off
    const TracePoint rows[] = {
        // Gain 1.0001 at 0 Hz; the log trace measures it against the centre tap 1/3.
        {"lowpass at 0 Hz", lowpass, kLinearScale, 0, 1.0001, 5e-5, 100, 60.4},
        // The passband lies about 10 units above the canvas on the log trace.
        {"narrow lowpass", blackmanLowpassTaps(1000, 10, 500), kLinearScale, 0, 1, 0.01, 100, -10,
         1},
        // The truncated sinc meets the ideal response on the bins and ripples between them.
        {"rectangular bin 0", rectangular, kLinearScale, 0, 1, 1e-5, {}, {}},
        {"rectangular bin 1", rectangular, kLinearScale, 1, 1, 1e-5, {}, {}},
        {"rectangular bin 2", rectangular, kLinearScale, 2, 1, 1e-5, {}, {}},
        {"rectangular bin 3", rectangular, kLinearScale, 3, 0, 1e-5, {}, {}},
        {"rectangular bin 5", rectangular, kLinearScale, 5, 0, 1e-5, {}, {}},
        {"rectangular bin 7", rectangular, kLinearScale, 7, 0, 1e-5, {}, {}},
        {"rectangular u 2.5", rectangular, kLinearScale, 2.5, 0.538, 5e-4, 229, {}, 0.5},
        {"rectangular u 7.5", rectangular, kLinearScale, last, 0.076, 5e-4, 359, {}, 0.5},
        {"highpass at 0 Hz", highpass, kLinearScale, 0, 0.00013, 5e-6, 380, {}},
        {"highpass at fs/2", highpass, kLinearScale, last, 1.0001, 5e-5, 100, 60.4},
        {"highpass 13 taps", highpassTaps(1000, 350, 13), kLinearScale, last, 1, 0.01, {}, 52.3},
        {"highpass at 499.9 Hz", highpassTaps(1000, 499.9, 15), kLinearScale, last, 0.448, 5e-4,
         {}, {}},
        {"bandpass peak", bandpass, kBandpassLinearScale, 5.25, 0.4685, 5e-5, 98.9, 51.3},
        {"bandpass at 0 Hz", bandpass, kBandpassLinearScale, 0, 0.00035, 5e-6, {}, {}},
        {"bandpass at fs/2", bandpass, kBandpassLinearScale, last, 0.00035, 5e-6, {}, {}},
        {"bandpass 20 taps", bandpassTaps(1000, 100, 250, 20), kBandpassLinearScale, 5, 0.4658,
         5e-5, {}, {}},
        // The band reaches past fs/2; its gain there lies above the canvas.
        {"bandpass at 480 Hz", bandpassTaps(1000, 100, 480, 21), kBandpassLinearScale, last, 0.88,
         5e-3, -148, {}, 0.5},
        {"bandstop at 0 Hz", bandstop, kBandstopLinearScale, 0, 1.00004, 5e-6, 80, 75.7},
        {"bandstop at fs/2", bandstop, kBandstopLinearScale, last, 1.00004, 5e-6, 80, 75.7},
        {"bandstop notch", bandstop, kBandstopLinearScale, 7.25, 0.00026, 5e-6, {}, 291, 0.5},
        {"bandstop at 50 Hz", bandstopTaps(1000, 200, 50, 29), kBandstopLinearScale, 0, 0.901,
         5e-4, {}, {}},
    };
    // clang-format on
    for (const TracePoint& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<ResponsePoint> sweep = responseSweep(row.taps);
        const double a = magnitude(row.u < 0 ? sweep.back() : sweep.at(std::lround(row.u * 100)));
        EXPECT_NEAR(a, row.magnitude, row.tolerance);
        if (row.linearY) {
            EXPECT_NEAR(linearTraceY(a, row.linearScale), *row.linearY, row.yTolerance);
        }
        if (row.logY) {
            EXPECT_NEAR(logTraceY(a, logReference(row.taps)), *row.logY, row.yTolerance);
        }
    }
}

TEST(FirResponseTraces, PeaksSitAtTheCentreFrequency)
{
    const auto loudest = [](const std::vector<ResponsePoint>& sweep) {
        const auto quieter = [](const ResponsePoint& a, const ResponsePoint& b) {
            return magnitude(a) < magnitude(b);
        };
        return std::max_element(sweep.begin(), sweep.end(), quieter) - sweep.begin();
    };
    EXPECT_EQ(loudest(responseSweep(bandpassTaps(1000, 100, 250, 21))), 525); // u = 5.25
    EXPECT_EQ(loudest(responseSweep(bandpassTaps(1000, 100, 250, 20))), 500); // u = 5.0
}

TEST(FirResponseTraces, FlatDesignsDrawFlatTraces)
{
    struct Row {
        std::string name;
        std::vector<double> taps;
        double linearScale, linearY, tolerance;
    };
    // clang-format off
    const Row rows[] = {
        {"lowpass one tap", blackmanLowpassTaps(1000, 150, 1), kLinearScale, 100, 1e-8},
        {"lowpass at 499.9 Hz", blackmanLowpassTaps(1000, 499.9, 15), kLinearScale, 100, 0.01},
        {"highpass at 10 Hz", highpassTaps(1000, 10, 15), kLinearScale, 100, 0.01},
        // All negative: measured against the tap's own size, so the log trace is flat too.
        {"highpass one tap", highpassTaps(1000, 350, 1), kLinearScale, 100, 1e-8},
        {"bandstop one tap", bandstopTaps(1000, 200, 250, 1), kBandstopLinearScale, 200, 1e-8},
    };
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const double reference = logReference(r.taps);
        for (const ResponsePoint& p : responseSweep(r.taps)) {
            ASSERT_NEAR(linearTraceY(magnitude(p), r.linearScale), r.linearY, r.tolerance);
            ASSERT_NEAR(logTraceY(magnitude(p), reference), 89, r.tolerance);
        }
    }
}

TEST(FirResponseTraces, AllNegativeDesignsDrawFiniteTraces)
{
    for (const std::vector<double>& taps :
         {highpassTaps(1000, 350, 1), bandpassTaps(1000, 450, 200, 7)}) {
        const double reference = logReference(taps);
        for (const ResponsePoint& p : responseSweep(taps)) {
            ASSERT_TRUE(std::isfinite(logTraceY(magnitude(p), reference))) << p.u;
            ASSERT_TRUE(std::isfinite(phaseTraceY(phaseDegrees(p)))) << p.u;
        }
    }
}

TEST(FirResponsePhase, DefaultTraceStartsAtZeroAndFirstWrapsNearX77)
{
    const std::vector<ResponsePoint> sweep = responseSweep(blackmanLowpassTaps(1000, 150, 15));
    EXPECT_EQ(responseX(sweep[0].u, 15), 10);
    EXPECT_EQ(phaseTraceY(phaseDegrees(sweep[0])), 196);
    // The centre tap sits at time 7: 7 x 360 / 15 = 168 degrees per bin.
    EXPECT_NEAR(phaseDegrees(sweep[1]), -1.68, 0.01);
    std::size_t wrap = 1;
    while (wrap < sweep.size() && phaseDegrees(sweep[wrap]) - phaseDegrees(sweep[wrap - 1]) < 180)
        ++wrap;
    ASSERT_EQ(wrap, 108u); // between u = 1.07 and u = 1.08
    EXPECT_NEAR(phaseTraceY(phaseDegrees(sweep[107])), 337, 1);
    EXPECT_NEAR(phaseTraceY(phaseDegrees(sweep[108])), 56, 1);
    EXPECT_NEAR(responseX(sweep[108].u, 15), 77, 0.5);
}

TEST(FirResponsePhase, QuadrantRuleAndNinetyDegreesWhereRIsZero)
{
    const double quarter = std::atan(1.0) * 180 / kPi; // 45 degrees by the five-decimal pi
    const double rows[][3] = {
        {1, 0, 0},
        {1, 1, quarter},
        {1, -1, -quarter},
        {-1, 1, 180 - quarter},
        {-1, -1, quarter - 180},
        {-1, 0, 0}, // R < 0 with Q = 0 takes neither correction
        {0, 2, 90},
        {-0.0, 2, 90},
        {0, -1e-300, -90},
        {0, 0, 0},
    };
    for (const auto& [re, q, degrees] : rows)
        EXPECT_DOUBLE_EQ(phaseDegrees(re, q), degrees) << "R " << re << ", Q " << q;
}

TEST(FirResponseTraces, LogTraceFloorsAt384AndTakesZeroMagnitudeThere)
{
    const double rows[][3] = {
        {0.5, 0.5, 89}, // at the reference
        {5, 0.5, 29},   // 20 dB above: 60 units higher, no clipping at the top
        {1e-4, 1, 329}, // 80 dB below
        {1e-5, 1, 384}, // 100 dB below: on the floor
        // Just above and just below the floor, 295 units (98.33 dB) down.
        {std::pow(10, -295 / 60.0) * 1.001, 1, 384 - 60 * std::log10(1.001)},
        {std::pow(10, -295 / 60.0) * 0.999, 1, 384},
        {0, 0.25, 384},   // no logarithm: on the floor, not at -infinity
        {1e-320, 1, 384}, // the ratio underflows
        {1, 0, 384},      // no usable reference
        {0, 0, 384},
    };
    for (const auto& [a, reference, y] : rows)
        EXPECT_NEAR(logTraceY(a, reference), y, 1e-9) << a << " against " << reference;
}

TEST(FirResponseTraces, PlotCoordinates)
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
