#include "dsp/fir_design.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace dsp::fir {
namespace {

TEST(FirDesignGrid, PassbandBinsAndCentreTap)
{
    struct Row {
        double cutoffHz, samplingHz;
        int taps, bins, centre;
    };
    // M = 1 + floor(2 fc / (fs / N)), at most N; m = (N + 1) / 2 rounded down.
    // clang-format off
    const Row rows[] = {
        {150, 1000, 15, 5, 8},    // default lowpass: 300 / 66.7 = 4.5
        {150, 1000, 16, 5, 8},    // 300 / 62.5 = 4.8; even N: the earlier of the middle slots
        {150, 1000, 1, 1, 1},     // 300 / 1000 = 0.3
        {499.9, 1000, 15, 15, 8}, // 999.8 / 66.7 = 14.997
        {10, 1000, 500, 11, 250}, // 20 / 2 = 10
        {490, 1000, 15, 15, 8},   // highpass prototype for fc = 10: 980 / 66.7 = 14.7
        {0.1, 1000, 15, 1, 8},    // highpass prototype for fc = 499.9: 0.2 / 66.7 = 0.003
        {50, 1000, 21, 3, 11},    // bandpass prototype, 100 Hz wide: 100 / 47.6 = 2.1
        {225, 1000, 7, 4, 4},     // bandpass prototype, 450 Hz wide: 450 / 142.9 = 3.15
        // fs / N is divided first: 1000 / 30 rounds up, so 500 falls just short of 15 bins,
        // where 500 x 30 / 1000 would make them 15 whole ...
        {250, 1000, 30, 15, 15},
        // ... and 580 / 20 is exactly 29, where (580 / 1000) x 50 falls just short of it.
        {290, 1000, 50, 30, 25},
    };
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << r.cutoffHz << " Hz of " << r.samplingHz << ", N " << r.taps);
        EXPECT_EQ(passbandBins(r.cutoffHz, r.samplingHz, r.taps), r.bins);
        EXPECT_EQ(centreTap(r.taps), r.centre);
    }
}

// Taps of a design: a value shared by one or more slots, good to `digits` significant
// digits; slots whose ideal value is 0 but which the five-decimal pi leaves tiny; and cmax.
//
// The default designs' taps (fs = 1000 Hz; lowpass 150 Hz and highpass 350 Hz with 15 taps,
// bandpass 100 Hz wide at 250 Hz with 21, bandstop 200 Hz wide at 250 Hz with 29) are the listed
// taps of those designs. Every other value is worked out in its row from dsp/fir_design.h,
// with pi = 3.14159 (2.65e-6 short of pi):
//   M = 1 + floor(2 fc / (fs / N)), m = (N + 1) / 2, d = |m - k|,
//   D(0) = M / N, D(d) = sin(pi d M / N) / sin(pi d / N) / N,
//   w(k) = 0.42 - 0.5 cos(2 pi k / (N + 1)) + 0.08 cos(4 pi k / (N + 1)), so w(m) = 1 for odd N;
//   Blackman lowpass D w; highpass cos(pi k) D w for fs/2 - fc; bandpass
//   sin(2 k pi f0 / fs) D w for B/2; bandstop ideal(d) w, ideal(0) = 1 + (fL - fH) / (fs / 2).
struct Quoted {
    std::vector<int> slots;
    double value;
};
struct DesignRow {
    std::string name;
    std::vector<double> taps;
    int digits;
    std::vector<Quoted> quoted;
    std::vector<int> nearlyZero;
    double nearlyZeroBound;
    double cmax;
};

void expectQuoted(const std::vector<double>& taps, int digits, const Quoted& q)
{
    const double tolerance = std::abs(q.value) * 5 * std::pow(10.0, -digits);
    for (int slot : q.slots)
        EXPECT_NEAR(taps.at(slot - 1), q.value, tolerance) << "slot " << slot;
}

TEST(FirDesignTaps, MatchTheListedTapsAndTheWorkedValues)
{
    const std::vector<int> allButCentre = {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15};
    // clang-format off
    const DesignRow rows[] = {
        // D(d) holds sin(pi d / 3): nearly 0 at d = 3 and 6 (slots 2, 5, 11, 14).
        {"Blackman default", blackmanLowpassTaps(1000, 150, 15), 9,
         {{{1}, 0.000849240612}, {{2}, -2.47194233e-8}, {{3}, -0.0114726614},
          {{4}, -0.0264145596}, {{5}, 1.66970161e-7}, {{6}, 0.109803601}, {{7}, 0.260614393},
          {{8}, 0.333333333}, {{9}, 0.260614842}, {{10}, 0.109803988}, {{11}, 1.6697108e-7},
          {{12}, -0.0264147657}, {{13}, -0.0114727848}, {{14}, -2.47198055e-8},
          {{15}, 0.000849264707}},
         {}, 0, 0.333333333},
        // M = 1 (one tap holds one bin): D = 1 / 1, w(1) = 0.42 + 0.5 + 0.08 = 1.
        {"Blackman one tap", blackmanLowpassTaps(1000, 150, 1), 9, {{{1}, 1.0}}, {}, 0, 1.0},
        // M = 1 + floor(300 / 62.5) = 5, m = 8. Slot 8: D = 5 / 16 = 0.3125,
        // w(8) = 0.42 - 0.5 cos(16 pi / 17) + 0.08 cos(32 pi / 17) = 0.98608, tap 0.30815.
        // Slot 9: D = sin(5 pi / 16) / sin(pi / 16) / 16 = 0.83147 / 0.19509 / 16 = 0.26637,
        // w(9) = 0.98608, tap 0.26267. cmax is slot 8.
        {"Blackman 16 taps", blackmanLowpassTaps(1000, 150, 16), 3,
         {{{8}, 0.308}, {{9}, 0.263}}, {}, 0, 0.308},
        // M = 1 + floor(999.8 / 66.67) = 15 = N: the centre D = 15 / 15 = 1, w = 1. Elsewhere
        // sin(pi d M / N) = sin(3.14159 d), about 2.65e-6 d, so |D w| stays below 1e-6: largest
        // at d = 1, 2.65e-6 / sin(pi / 15) / 15 = 8.5e-7 times w(7) = 0.94.
        {"Blackman at 499.9 Hz", blackmanLowpassTaps(1000, 499.9, 15), 9, {{{8}, 1.0}},
         allButCentre, 1e-6, 1.0},
        // M = 1 + floor(20 / 2) = 11, m = 250: D = 11 / 500 = 0.022,
        // w(250) = 0.42 - 0.5 cos(500 pi / 501) + 0.08 cos(1000 pi / 501) = 0.99998.
        {"Blackman 500 taps at 10 Hz", blackmanLowpassTaps(1000, 10, 500), 2, {}, {}, 0, 0.022},
        {"rectangular default", rectangularLowpassTaps(1000, 150, 15), 9,
         {{{1, 15}, 0.0580528476}, {{2, 14}, -3.72020052e-7}, {{3, 13}, -0.0666668709},
          {{4, 12}, -0.0776900327}, {{5, 11}, 3.0097066e-7}, {{6, 10}, 0.14194721},
          {{7, 9}, 0.277690231}, {{8}, 0.333333333}},
         {}, 0, 0.333333333},
        // The prototype is the Blackman default (500 - 350 = 150 Hz): its taps times cos(pi k),
        // -1 at odd k, +1 at even k; slots 2, 5, 11 and 14 stay nearly 0.
        {"highpass default", highpassTaps(1000, 350, 15), 5,
         {{{8}, 0.333333333}, {{7, 9}, -0.26061}, {{6, 10}, 0.10980}, {{4, 12}, -0.026415},
          {{3, 13}, 0.011473}, {{1, 15}, -0.00084924}},
         {2, 5, 11, 14}, 1e-6, 0.333333333},
        // Prototype 150 Hz: M = 1 + floor(300 / 76.92) = 4, m = 7. Slot 7: D = 4 / 13 = 0.30769,
        // w = 1, cos(7 pi) = -1: the centre tap is negative. Slots 6 and 8, d = 1:
        // D = sin(4 pi / 13) / sin(pi / 13) / 13 = 0.82298 / 0.23932 / 13 = 0.26453,
        // w = 0.42 + 0.5 x 0.90097 + 0.08 x 0.62349 = 0.92036, cos(6 pi) = +1: cmax 0.24346.
        {"highpass 13 taps", highpassTaps(1000, 350, 13), 5, {{{7}, -0.30769}}, {}, 0, 0.24346},
        // Prototype 490 Hz: M = 15 = N as for the lowpass at 499.9 Hz, cos(8 pi) = +1.
        {"highpass at 10 Hz", highpassTaps(1000, 10, 15), 9, {{{8}, 1.0}}, allButCentre, 1e-6,
         1.0},
        // Prototype 0.1 Hz: M = 1 + floor(0.2 / 66.67) = 1, so D(d) = 1 / 15 = 0.066667 at
        // every slot; w = 1 only at the centre, cos(8 pi) = +1.
        {"highpass at 499.9 Hz", highpassTaps(1000, 499.9, 15), 5, {{{8}, 0.066667}}, {}, 0,
         0.066667},
        // M = 1: D = 1, w(1) = 1, cos(pi) = -1. No tap is positive, so cmax stays 0.
        {"highpass one tap", highpassTaps(1000, 350, 1), 9, {{{1}, -1.0}}, {}, 0, 0},
        // Prototype 50 Hz: M = 1 + floor(100 / 47.62) = 3, m = 11. Slot 11: D = 3 / 21, w = 1,
        // sin(5.5 pi) = -1: -0.142857. Slots 9 and 13, d = 2: D = sin(6 pi / 21) / sin(2 pi / 21)
        // / 21 = 0.78183 / 0.29475 / 21 = 0.12631, w = 0.87386, sin(4.5 pi) = sin(6.5 pi) = 1:
        // cmax 0.110376. The carrier sin(pi k / 2) is nearly 0 at every even k.
        {"bandpass default", bandpassTaps(1000, 100, 250, 21), 5,
         {{{11}, -0.142857}, {{9, 13}, 0.110376}, {{7, 15}, -0.047414}, {{5, 17}, 0.0071903},
          {{3, 19}, 0.0018019}, {{1, 21}, -0.00035167}},
         {2, 4, 6, 8, 10, 12, 14, 16, 18, 20}, 1e-5, 0.110376},
        // M = 1 + floor(100 / 50) = 3, m = 10, carrier sin(pi k / 2). Slot 9, d = 1:
        // D = sin(3 pi / 20) / sin(pi / 20) / 20 = 0.45399 / 0.15643 / 20 = 0.14511,
        // w(9) = 0.92036, sin(4.5 pi) = 1: 0.13355 (cmax). Slot 11, d = 1: w(11) = 0.99086,
        // sin(5.5 pi) = -1: -0.14378. Slot 13, d = 3: D = sin(9 pi / 20) / sin(3 pi / 20) / 20
        // = 0.98769 / 0.45399 / 20 = 0.10878, w(13) = 0.79251, sin(6.5 pi) = 1: 0.086208.
        // Slot 10: 0.15 x 0.99086 x sin(5 x 3.14159) = 0.15 x 0.99086 x 1.33e-5 = 1.97e-6.
        {"bandpass 20 taps", bandpassTaps(1000, 100, 250, 20), 5,
         {{{9}, 0.13355}, {{11}, -0.14378}, {{13}, 0.086208}}, {10}, 5e-6, 0.13355},
        // Prototype 225 Hz: M = 1 + floor(450 / 142.86) = 4, m = 4: D = 4 / 7, w = 1,
        // sin(2 x 4 pi x 0.2) = sin(1.6 pi) = -0.95106: -0.54346. The carrier sin(0.4 pi k)
        // and D differ in sign at every slot (slot 5's carrier is sin(2 x 3.14159) = -5.3e-6),
        // so no tap is positive and cmax stays 0.
        {"bandpass all negative", bandpassTaps(1000, 450, 200, 7), 5, {{{4}, -0.54346}}, {}, 0,
         0},
        // Centre: 1 + (150 - 350) / 500 = 0.6, w = 1. The ideal sin(0.3 pi d) - sin(0.7 pi d)
        // = -2 cos(pi d / 2) sin(pi d / 5) is 0 at odd d and at d = 10.
        {"bandstop default", bandstopTaps(1000, 200, 250, 29), 5,
         {{{15}, 0.6}, {{13, 17}, 0.28163}, {{11, 19}, -0.069807}, {{9, 21}, -0.031793},
          {{7, 23}, 0.021909}, {{3, 27}, -0.0020290}, {{1, 29}, 0.00010718}},
         {2, 4, 5, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 25, 26, 28}, 1e-6, 0.6},
        // 1 + (150 - 350) / 500 = 0.6, w(1) = 1 - 2.9e-12 with the five-decimal pi.
        {"bandstop one tap", bandstopTaps(1000, 200, 250, 1), 11, {{{1}, 0.6}}, {}, 0, 0.6},
        // fL = -50 Hz is not refused; the centre tap is 1 + (-50 - 150) / 500 = 0.6 again.
        {"bandstop at 50 Hz", bandstopTaps(1000, 200, 50, 29), 11, {{{15}, 0.6}}, {}, 0, 0.6},
    };
    // clang-format on
    for (const DesignRow& row : rows) {
        SCOPED_TRACE(row.name);
        for (const Quoted& q : row.quoted)
            expectQuoted(row.taps, row.digits, q);
        for (int slot : row.nearlyZero) {
            EXPECT_LT(std::abs(row.taps.at(slot - 1)), row.nearlyZeroBound) << "slot " << slot;
            EXPECT_NE(row.taps.at(slot - 1), 0.0) << "slot " << slot;
        }
        expectQuoted({largestTap(row.taps)}, row.digits, {{1}, row.cmax});
    }
}

TEST(FirDesignTaps, SymmetryShowsWhereTheFiveDecimalPiEntersAndWhereNot)
{
    // Without a window a tap depends on its distance from the centre alone.
    const std::vector<double> rectangular = rectangularLowpassTaps(1000, 150, 15);
    EXPECT_EQ(rectangular[6], rectangular[8]);
    // The window's own argument carries pi, so windowed mirror taps differ in the 7th digit.
    const std::vector<double> blackman = blackmanLowpassTaps(1000, 150, 15);
    EXPECT_NE(blackman[6], blackman[8]);
    // The bandpass carrier counts its phase from slot 0: slot 13 edges out its mirror slot 9.
    const std::vector<double> bandpass = bandpassTaps(1000, 100, 250, 21);
    EXPECT_GT(bandpass[12], bandpass[8]);
    EXPECT_EQ(largestTap(bandpass), bandpass[12]);
}

TEST(FirDesignTaps, HighpassFactorFallsShortOfPlusMinusOneByUnderOneMillionth)
{
    // The lowpass for fs/2 - fc = 150 Hz is the highpass's prototype, so each highpass tap is
    // cos(pi k) times its lowpass tap; with the five-decimal pi that factor drifts from +-1:
    // 1 - |cos(3.14159 k)| = 1 - cos(2.65e-6 k), about (2.65e-6 k)^2 / 2, 8.8e-7 at k = 500.
    const std::vector<double> highpass = highpassTaps(1000, 350, 500);
    const std::vector<double> lowpass = blackmanLowpassTaps(1000, 150, 500);
    for (int k = 1; k <= 500; ++k) {
        const double factor = highpass[k - 1] / lowpass[k - 1];
        EXPECT_EQ(factor > 0, k % 2 == 0) << "slot " << k;
        EXPECT_LT(1 - std::abs(factor), 1e-6) << "slot " << k;
    }
    EXPECT_GT(1 - std::abs(highpass[499] / lowpass[499]), 1e-7);
}

TEST(FirDesignReference, LogReferenceIsCmaxOrTheLargestSizeWhenNoTapIsPositive)
{
    struct Row {
        std::vector<double> taps;
        double cmax, reference;
    };
    // clang-format off
    const Row rows[] = {
        {{0.1, -3, 0.2}, 0.2, 0.2},
        {{-0.5, -2}, 0, 2},
        {{0, 0}, 0, 1}, // nothing to measure against: any positive reference will do
        {{}, 0, 1},
        {highpassTaps(1000, 350, 1), 0, -highpassTaps(1000, 350, 1)[0]},
        {bandpassTaps(1000, 450, 200, 7), 0, -bandpassTaps(1000, 450, 200, 7)[3]},
    };
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.taps.size() << " taps, reference " << r.reference);
        EXPECT_EQ(largestTap(r.taps), r.cmax);
        EXPECT_EQ(logReference(r.taps), r.reference);
    }
}

TEST(FirDesignTapPlot, DefaultPointsSpreadEvenlyWithTheCentreAtTheTop)
{
    // s = 468 / 16 = 29.25, x0 = 10; M = 5, so G = 185 / (5 / 15) = 555 and the centre tap
    // stands at 196 - 555 x 5 / 15 = 11. Slots 7 and 9: D(1) = sin(pi / 3) / sin(pi / 15) / 15
    // = 0.27769, y = 196 - 555 x 0.27769 = 41.88; slots 4 and 12: D(4) = sin(4 pi / 3)
    // / sin(4 pi / 15) / 15 = -0.07769, y = 196 + 555 x 0.07769 = 239.12.
    const std::vector<PlotPoint> points = tapPlotPoints(1000, 150, 15);
    ASSERT_EQ(points.size(), 15u);
    for (int k = 1; k <= 15; ++k)
        EXPECT_DOUBLE_EQ(points[k - 1].x, 10 + k * 29.25) << "slot " << k; // 39.25 .. 448.75
    EXPECT_NEAR(points[7].x, 244, 1e-12);
    EXPECT_NEAR(points[7].y, 11, 1e-9);
    for (int slot : {7, 9})
        EXPECT_NEAR(points[slot - 1].y, 41.9, 0.05) << "slot " << slot;
    for (int slot : {4, 12})
        EXPECT_NEAR(points[slot - 1].y, 239.1, 0.05) << "slot " << slot;
    EXPECT_DOUBLE_EQ(tapPlotTopValue(1000, 150, 15), 1.0 / 3);
}

TEST(FirDesignTapPlot, EvenTapCountShiftsByHalfASpacingToKeepTheCentreAt244)
{
    // s = 468 / 17, x0 = 10 + s / 2: slot 8 at 10 + 8.5 s = 10 + 234 = 244; M = 5, so the
    // centre tap again stands 185 units above 196.
    const std::vector<PlotPoint> points = tapPlotPoints(1000, 150, 16);
    ASSERT_EQ(points.size(), 16u);
    const double spacing = 468.0 / 17;
    EXPECT_NEAR(points[0].x, 10 + spacing / 2 + spacing, 1e-12);
    EXPECT_NEAR(points[7].x, 244, 1e-12);
    EXPECT_NEAR(points[7].y, 11, 1e-9);
}

} // namespace
} // namespace dsp::fir
