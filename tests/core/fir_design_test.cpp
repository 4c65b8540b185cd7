#include "fir/design.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace dsp::fir {
namespace {

// A tap quoted by the course to `digits` significant digits.
struct QuotedTap {
    int slot;
    double value;
    int digits;
};

void expectQuotedTaps(const std::vector<double>& taps, const std::vector<QuotedTap>& quoted)
{
    for (const QuotedTap& q : quoted) {
        SCOPED_TRACE(testing::Message() << "slot " << q.slot);
        ASSERT_LE(q.slot, static_cast<int>(taps.size()));
        EXPECT_NEAR(taps[q.slot - 1], q.value, std::abs(q.value) * 5 * std::pow(10.0, -q.digits));
    }
}

// Slots whose ideal value is an exact zero come out tiny but not zero with the five-decimal pi.
void expectNearlyZeroSlots(const std::vector<double>& taps, const std::vector<int>& slots,
                           double bound)
{
    for (int slot : slots) {
        SCOPED_TRACE(testing::Message() << "slot " << slot);
        EXPECT_LT(std::abs(taps[slot - 1]), bound);
        EXPECT_NE(taps[slot - 1], 0.0);
    }
}

// Each pair of slots holds the same value (to the quoted digits) with the same sign.
void expectMirrored(const std::vector<double>& taps, const std::vector<QuotedTap>& pairs,
                    int tapCount)
{
    std::vector<QuotedTap> mirrored = pairs;
    for (QuotedTap& q : mirrored)
        q.slot = tapCount + 1 - q.slot;
    expectQuotedTaps(taps, pairs);
    expectQuotedTaps(taps, mirrored);
}

TEST(FirDesignGrid, PassbandBinsCountTheBinsOfTheBandFromMinusFcToFc)
{
    struct Row {
        double cutoffHz, samplingHz;
        int taps, bins;
    };
    const Row rows[] = {
        {150, 1000, 15, 5},    // default lowpass: 300 / 66.7 = 4.5
        {150, 1000, 16, 5},    // 300 / 62.5 = 4.8
        {150, 1000, 1, 1},
        {499.9, 1000, 15, 15}, // just under fs/2: every bin
        {10, 1000, 500, 11},   // 20 / 2 is exactly 10
        {490, 1000, 15, 15},   // highpass prototype for fc = 10
        {0.1, 1000, 15, 1},    // highpass prototype for fc = 499.9
        {50, 1000, 21, 3},     // default bandpass prototype
        {225, 1000, 7, 4},     // bandpass 450 Hz wide, 7 taps
        // fs / N is divided first: 1000 / 30 rounds up, so 500 falls just short of 15 bins,
        // where 500 x 30 / 1000 would make them 15 whole.
        {250, 1000, 30, 15},
        // ... and 580 / 20 is exactly 29, where (580 / 1000) x 50 falls just short of it.
        {290, 1000, 50, 30},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.cutoffHz << " Hz of " << r.samplingHz << ", N "
                                        << r.taps);
        EXPECT_EQ(passbandBins(r.cutoffHz, r.samplingHz, r.taps), r.bins);
    }
}

TEST(FirDesignGrid, CentreTapIsTheMiddleSlotOrTheOneBeforeIt)
{
    const int rows[][2] = {{1, 1}, {7, 4}, {13, 7}, {15, 8}, {16, 8}, {20, 10}, {21, 11}, {29, 15}};
    for (const auto& [taps, centre] : rows)
        EXPECT_EQ(centreTap(taps), centre) << taps << " taps";
}

TEST(FirDesignWindow, BlackmanWindowPeaksAtOneHalfwayAndStaysAboveZeroAtTheEnds)
{
    EXPECT_NEAR(blackmanWindow(1, 1), 1.0, 1e-10);
    EXPECT_NEAR(blackmanWindow(8, 15), 1.0, 1e-10);
    // The zero ends k = 0 and k = N + 1 are not slots, so the outer slots keep some weight.
    EXPECT_GT(blackmanWindow(1, 15), 0.0);
    EXPECT_GT(blackmanWindow(15, 15), 0.0);
    EXPECT_LT(blackmanWindow(1, 15), 0.02);
}

TEST(FirDesignWindow, PeriodicSincIsMOverNAtTheCentreAndNearlyZeroOnWholeCycles)
{
    EXPECT_DOUBLE_EQ(periodicSinc(0, 5, 15), 1.0 / 3);
    // n M / N = 1 and 2: the ideal value is 0, the five-decimal pi leaves about 1e-7.
    EXPECT_LT(std::abs(periodicSinc(3, 5, 15)), 1e-6);
    EXPECT_LT(std::abs(periodicSinc(6, 5, 15)), 1e-6);
    EXPECT_NEAR(periodicSinc(1, 5, 15), 0.277690231, 1e-9);
}

TEST(FirDesignLowpass, BlackmanDefaultTapsMatchTheCourseToNineDigits)
{
    const std::vector<double> expected = {
        0.000849240612, -2.47194233e-8, -0.0114726614, -0.0264145596, 1.66970161e-7,
        0.109803601,    0.260614393,    0.333333333,   0.260614842,   0.109803988,
        1.6697108e-7,   -0.0264147657,  -0.0114727848, -2.47198055e-8, 0.000849264707,
    };
    const std::vector<double> taps = blackmanLowpassTaps(1000, 150, 15);
    ASSERT_EQ(taps.size(), expected.size());
    for (std::size_t i = 0; i < taps.size(); ++i)
        EXPECT_NEAR(taps[i], expected[i], std::abs(expected[i]) * 1e-8) << "slot " << i + 1;
    // Mirror taps differ in the seventh digit: the five-decimal pi at work.
    EXPECT_NE(taps[6], taps[8]);
    EXPECT_EQ(largestTap(taps), taps[7]);
}

TEST(FirDesignLowpass, BlackmanShapesOfOtherAnswers)
{
    // One tap: the window value 1, so an all-pass filter.
    const std::vector<double> single = blackmanLowpassTaps(1000, 150, 1);
    ASSERT_EQ(single.size(), 1u);
    EXPECT_NEAR(single[0], 1.0, 1e-9);

    // Even N: the sinc peaks at slot 8, the window half a slot later.
    expectQuotedTaps(blackmanLowpassTaps(1000, 150, 16), {{8, 0.308, 3}, {9, 0.263, 3}});

    // Cutoff just under fs/2: M = N, a single tap of about 1 with the rest near zero.
    const std::vector<double> allPass = blackmanLowpassTaps(1000, 499.9, 15);
    EXPECT_NEAR(allPass[7], 1.0, 1e-9);
    EXPECT_NEAR(largestTap(allPass), 1.0, 1e-9);
    expectNearlyZeroSlots(allPass, {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15}, 1e-6);

    // A narrow band over many taps spreads the gain thinly.
    EXPECT_NEAR(largestTap(blackmanLowpassTaps(1000, 10, 500)), 0.022, 0.0005);
}

TEST(FirDesignLowpass, RectangularDefaultTapsAreTheBareSincSymmetricAboutSlotEight)
{
    const std::vector<double> firstHalf = {
        0.0580528476, -3.72020052e-7, -0.0666668709, -0.0776900327,
        3.0097066e-7, 0.14194721,     0.277690231,   0.333333333,
    };
    const std::vector<double> taps = rectangularLowpassTaps(1000, 150, 15);
    ASSERT_EQ(taps.size(), 15u);
    for (int slot = 1; slot <= 8; ++slot) {
        SCOPED_TRACE(testing::Message() << "slot " << slot);
        EXPECT_NEAR(taps[slot - 1], firstHalf[slot - 1], std::abs(firstHalf[slot - 1]) * 1e-8);
        // Without a window each tap depends on its distance from the centre only.
        EXPECT_EQ(taps[15 - slot], taps[slot - 1]);
    }
}

TEST(FirDesignHighpass, DefaultIsTheDefaultLowpassWithOddSlotsNegated)
{
    const std::vector<double> taps = highpassTaps(1000, 350, 15);
    ASSERT_EQ(taps.size(), 15u);
    EXPECT_NEAR(taps[7], 0.333333333, 1e-9);
    expectMirrored(taps,
                   {{7, -0.26061, 5},
                    {6, 0.10980, 5},
                    {4, -0.026415, 5},
                    {3, 0.011473, 5},
                    {1, -0.00084924, 5}},
                   15);
    expectNearlyZeroSlots(taps, {2, 5, 11, 14}, 1e-6);
    EXPECT_EQ(largestTap(taps), taps[7]);
}

TEST(FirDesignHighpass, ModulatingFactorFallsShortOfPlusMinusOneByUnderOneMillionth)
{
    // The lowpass for fs/2 - fc = 150 Hz is the highpass's prototype, so each highpass tap is
    // cos(pi k) times its lowpass tap; with the five-decimal pi that factor drifts from +-1.
    const std::vector<double> highpass = highpassTaps(1000, 350, 500);
    const std::vector<double> lowpass = blackmanLowpassTaps(1000, 150, 500);
    for (int k = 1; k <= 500; ++k) {
        SCOPED_TRACE(testing::Message() << "slot " << k);
        const double factor = highpass[k - 1] / lowpass[k - 1];
        EXPECT_EQ(factor > 0, k % 2 == 0);
        EXPECT_LT(1 - std::abs(factor), 1e-6);
    }
    EXPECT_GT(1 - std::abs(highpass[499] / lowpass[499]), 1e-7);
}

TEST(FirDesignHighpass, OddCentreSlotTurnsTheCentreTapNegative)
{
    // m = 7 is odd: cos(7 pi) < 0, so cmax is a neighbour of the centre.
    const std::vector<double> taps = highpassTaps(1000, 350, 13);
    EXPECT_NEAR(taps[6], -0.30769, 5e-5);
    EXPECT_NEAR(largestTap(taps), 0.24346, 5e-5);
}

TEST(FirDesignHighpass, LowCutoffPassesEverything)
{
    const std::vector<double> taps = highpassTaps(1000, 10, 15);
    EXPECT_NEAR(taps[7], 1.0, 1e-9);
    expectNearlyZeroSlots(taps, {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15}, 1e-6);
}

TEST(FirDesignHighpass, CutoffJustUnderHalfTheSamplingRateLeavesTheAlternatingWindow)
{
    // fp = 0.1 Hz and M = 1: D = 1/15 at every slot.
    const std::vector<double> taps = highpassTaps(1000, 499.9, 15);
    EXPECT_NEAR(taps[7], 0.066667, 5e-7);
    for (int k = 1; k <= 15; ++k) {
        SCOPED_TRACE(testing::Message() << "slot " << k);
        EXPECT_NEAR(std::abs(taps[k - 1]), blackmanWindow(k, 15) / 15, 1e-9);
        EXPECT_EQ(taps[k - 1] > 0, k % 2 == 0);
    }
}

TEST(FirDesignBandpass, DefaultTapsAlternateInTheOddSlots)
{
    const std::vector<double> taps = bandpassTaps(1000, 100, 250, 21);
    ASSERT_EQ(taps.size(), 21u);
    expectQuotedTaps(taps, {{11, -0.142857, 6}});
    expectMirrored(taps,
                   {{9, 0.110376, 6},
                    {7, -0.047414, 5},
                    {5, 0.0071903, 5},
                    {3, 0.0018019, 5},
                    {1, -0.00035167, 5}},
                   21);
    for (int slot = 2; slot <= 20; slot += 2)
        EXPECT_LT(std::abs(taps[slot - 1]), 1e-5) << "slot " << slot;
    // The carrier's phase counts from slot 0, so slot 13 edges out its mirror slot 9.
    EXPECT_EQ(largestTap(taps), taps[12]);
    EXPECT_GT(taps[12], taps[8]);
}

TEST(FirDesignBandpass, EvenTapCountPutsTheCentreOnANearZeroSlot)
{
    const std::vector<double> taps = bandpassTaps(1000, 100, 250, 20);
    EXPECT_LT(std::abs(taps[9]), 5e-6);
    expectQuotedTaps(taps, {{9, 0.13355, 5}, {11, -0.14378, 5}, {13, 0.086208, 5}});
    EXPECT_NEAR(largestTap(taps), 0.13355, 5e-6);
}

TEST(FirDesignBandpass, WideBandAtLowCentreHasOnlyNegativeTaps)
{
    const std::vector<double> taps = bandpassTaps(1000, 450, 200, 7);
    for (double tap : taps)
        EXPECT_LT(tap, 0.0);
    EXPECT_NEAR(taps[3], -0.54346, 5e-6);
    EXPECT_EQ(largestTap(taps), 0.0);
    EXPECT_NEAR(logReference(taps), 0.54346, 5e-6);
}

TEST(FirDesignBandstop, DefaultTapsAroundAPointSixCentre)
{
    const std::vector<double> taps = bandstopTaps(1000, 200, 250, 29);
    ASSERT_EQ(taps.size(), 29u);
    EXPECT_NEAR(taps[14], 0.6, 1e-11);
    expectMirrored(taps,
                   {{13, 0.28163, 5},
                    {11, -0.069807, 5},
                    {9, -0.031793, 5},
                    {7, 0.021909, 5},
                    {3, -0.0020290, 5},
                    {1, 0.00010718, 5}},
                   29);
    expectNearlyZeroSlots(taps, {2, 4, 5, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 25, 26, 28}, 1e-6);
    EXPECT_EQ(largestTap(taps), taps[14]);
}

TEST(FirDesignBandstop, CentreTapIsOneMinusTheStopBandShareWhateverTheCentre)
{
    const std::vector<double> single = bandstopTaps(1000, 200, 250, 1);
    ASSERT_EQ(single.size(), 1u);
    EXPECT_NEAR(single[0], 0.6, 1e-11);
    // fL = -50 Hz is not refused; the centre tap does not depend on it.
    EXPECT_NEAR(bandstopTaps(1000, 200, 50, 29)[14], 0.6, 1e-11);
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
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.taps.size() << " taps, reference " << r.reference);
        EXPECT_EQ(largestTap(r.taps), r.cmax);
        EXPECT_EQ(logReference(r.taps), r.reference);
    }
}

TEST(FirDesignReference, SingleTapHighpassIsMeasuredAgainstItsOwnSize)
{
    const std::vector<double> taps = highpassTaps(1000, 350, 1);
    ASSERT_EQ(taps.size(), 1u);
    EXPECT_NEAR(taps[0], -1.0, 1e-9);
    EXPECT_EQ(largestTap(taps), 0.0);
    EXPECT_EQ(logReference(taps), -taps[0]);
}

TEST(FirDesignTapPlot, DefaultPointsSpreadEvenlyWithTheCentreAtTheTop)
{
    const std::vector<PlotPoint> points = tapPlotPoints(1000, 150, 15);
    ASSERT_EQ(points.size(), 15u);
    for (int k = 1; k <= 15; ++k)
        EXPECT_DOUBLE_EQ(points[k - 1].x, 10 + k * 29.25) << "slot " << k;
    EXPECT_DOUBLE_EQ(points.front().x, 39.25);
    EXPECT_DOUBLE_EQ(points.back().x, 448.75);
    EXPECT_NEAR(points[7].x, 244, 1e-12);
    EXPECT_NEAR(points[7].y, 11, 1e-9);
    const int slots[][2] = {{7, 9}, {4, 12}};
    const double heights[] = {41.9, 239.1};
    for (int row = 0; row < 2; ++row) {
        for (int slot : slots[row])
            EXPECT_NEAR(points[slot - 1].y, heights[row], 0.05) << "slot " << slot;
    }
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
