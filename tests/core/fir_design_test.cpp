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
    const Row rows[] = {
        {150, 1000, 15, 5, 8},    // default lowpass: 300 / 66.7 = 4.5
        {150, 1000, 16, 5, 8},    // even N: the centre is the earlier of the two middle slots
        {150, 1000, 1, 1, 1},     {499.9, 1000, 15, 15, 8}, {10, 1000, 500, 11, 250},
        {490, 1000, 15, 15, 8},   // highpass prototype for fc = 10
        {0.1, 1000, 15, 1, 8},    // highpass prototype for fc = 499.9
        {50, 1000, 21, 3, 11},    {225, 1000, 7, 4, 4}, // bandpass prototypes
        // fs / N is divided first: 1000 / 30 rounds up, so 500 falls just short of 15 bins,
        // where 500 x 30 / 1000 would make them 15 whole ...
        {250, 1000, 30, 15, 15},
        // ... and 580 / 20 is exactly 29, where (580 / 1000) x 50 falls just short of it.
        {290, 1000, 50, 30, 25},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.cutoffHz << " Hz of " << r.samplingHz << ", N "
                                        << r.taps);
        EXPECT_EQ(passbandBins(r.cutoffHz, r.samplingHz, r.taps), r.bins);
        EXPECT_EQ(centreTap(r.taps), r.centre);
    }
}

// Taps as the course quotes them: a value shared by one or more slots, good to `digits`
// significant digits; slots whose ideal value is 0 but which the five-decimal pi leaves tiny;
// and cmax.
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

TEST(FirDesignTaps, MatchTheValuesTheCourseQuotes)
{
    const std::vector<int> allButCentre = {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15};
    const DesignRow rows[] = {
        {"Blackman default", blackmanLowpassTaps(1000, 150, 15), 9,
         {{{1}, 0.000849240612}, {{2}, -2.47194233e-8}, {{3}, -0.0114726614},
          {{4}, -0.0264145596}, {{5}, 1.66970161e-7}, {{6}, 0.109803601}, {{7}, 0.260614393},
          {{8}, 0.333333333}, {{9}, 0.260614842}, {{10}, 0.109803988}, {{11}, 1.6697108e-7},
          {{12}, -0.0264147657}, {{13}, -0.0114727848}, {{14}, -2.47198055e-8},
          {{15}, 0.000849264707}},
         {}, 0, 0.333333333},
        {"Blackman one tap", blackmanLowpassTaps(1000, 150, 1), 9, {{{1}, 1.0}}, {}, 0, 1.0},
        {"Blackman 16 taps", blackmanLowpassTaps(1000, 150, 16), 3,
         {{{8}, 0.308}, {{9}, 0.263}}, {}, 0, 0.308},
        {"Blackman at 499.9 Hz", blackmanLowpassTaps(1000, 499.9, 15), 9, {{{8}, 1.0}},
         allButCentre, 1e-6, 1.0},
        {"Blackman 500 taps at 10 Hz", blackmanLowpassTaps(1000, 10, 500), 2, {}, {}, 0, 0.022},
        {"rectangular default", rectangularLowpassTaps(1000, 150, 15), 9,
         {{{1, 15}, 0.0580528476}, {{2, 14}, -3.72020052e-7}, {{3, 13}, -0.0666668709},
          {{4, 12}, -0.0776900327}, {{5, 11}, 3.0097066e-7}, {{6, 10}, 0.14194721},
          {{7, 9}, 0.277690231}, {{8}, 0.333333333}},
         {}, 0, 0.333333333},
        {"highpass default", highpassTaps(1000, 350, 15), 5,
         {{{8}, 0.333333333}, {{7, 9}, -0.26061}, {{6, 10}, 0.10980}, {{4, 12}, -0.026415},
          {{3, 13}, 0.011473}, {{1, 15}, -0.00084924}},
         {2, 5, 11, 14}, 1e-6, 0.333333333},
        // m = 7 is odd, so the centre tap is negative and cmax is its neighbour.
        {"highpass 13 taps", highpassTaps(1000, 350, 13), 5, {{{7}, -0.30769}}, {}, 0, 0.24346},
        {"highpass at 10 Hz", highpassTaps(1000, 10, 15), 9, {{{8}, 1.0}}, allButCentre, 1e-6,
         1.0},
        {"highpass at 499.9 Hz", highpassTaps(1000, 499.9, 15), 5, {{{8}, 0.066667}}, {}, 0,
         0.066667},
        {"highpass one tap", highpassTaps(1000, 350, 1), 9, {{{1}, -1.0}}, {}, 0, 0},
        {"bandpass default", bandpassTaps(1000, 100, 250, 21), 5,
         {{{11}, -0.142857}, {{9, 13}, 0.110376}, {{7, 15}, -0.047414}, {{5, 17}, 0.0071903},
          {{3, 19}, 0.0018019}, {{1, 21}, -0.00035167}},
         {2, 4, 6, 8, 10, 12, 14, 16, 18, 20}, 1e-5, 0.110376},
        {"bandpass 20 taps", bandpassTaps(1000, 100, 250, 20), 5,
         {{{9}, 0.13355}, {{11}, -0.14378}, {{13}, 0.086208}}, {10}, 5e-6, 0.13355},
        {"bandpass all negative", bandpassTaps(1000, 450, 200, 7), 5, {{{4}, -0.54346}}, {}, 0,
         0},
        {"bandstop default", bandstopTaps(1000, 200, 250, 29), 5,
         {{{15}, 0.6}, {{13, 17}, 0.28163}, {{11, 19}, -0.069807}, {{9, 21}, -0.031793},
          {{7, 23}, 0.021909}, {{3, 27}, -0.0020290}, {{1, 29}, 0.00010718}},
         {2, 4, 5, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 25, 26, 28}, 1e-6, 0.6},
        {"bandstop one tap", bandstopTaps(1000, 200, 250, 1), 11, {{{1}, 0.6}}, {}, 0, 0.6},
        // fL = -50 Hz is not refused; the centre tap does not depend on it and is the default
        // design's 0.6 to within 1e-11.
        {"bandstop at 50 Hz", bandstopTaps(1000, 200, 50, 29), 11, {{{15}, 0.6}}, {}, 0, 0.6},
    };
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
    // cos(pi k) times its lowpass tap; with the five-decimal pi that factor drifts from +-1.
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
    const Row rows[] = {
        {{0.1, -3, 0.2}, 0.2, 0.2},
        {{-0.5, -2}, 0, 2},
        {{0, 0}, 0, 1}, // nothing to measure against: any positive reference will do
        {{}, 0, 1},
        {highpassTaps(1000, 350, 1), 0, -highpassTaps(1000, 350, 1)[0]},
        {bandpassTaps(1000, 450, 200, 7), 0, -bandpassTaps(1000, 450, 200, 7)[3]},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.taps.size() << " taps, reference " << r.reference);
        EXPECT_EQ(largestTap(r.taps), r.cmax);
        EXPECT_EQ(logReference(r.taps), r.reference);
    }
}

TEST(FirDesignTapPlot, DefaultPointsSpreadEvenlyWithTheCentreAtTheTop)
{
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
    const std::vector<PlotPoint> points = tapPlotPoints(1000, 150, 16);
    ASSERT_EQ(points.size(), 16u);
    const double spacing = 468.0 / 17;
    EXPECT_NEAR(points[0].x, 10 + spacing / 2 + spacing, 1e-12);
    EXPECT_NEAR(points[7].x, 244, 1e-12);
    EXPECT_NEAR(points[7].y, 11, 1e-9);
}

} // namespace
} // namespace dsp::fir
