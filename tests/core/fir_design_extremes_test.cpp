#include "dsp/fir_design.h"
#include "dsp/fir_response.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace dsp::fir {
namespace {

using tables::PrintTo; // rows print as their names in failure messages

// Answers that pass every test of the filter screens, at the far ends of what a double holds.
// Whatever they design, the screens must be able to list and draw it.
struct ExtremeDesign {
    std::string name;
    std::function<std::vector<double>()> design;
};

class ExtremeDesigns : public testing::TestWithParam<ExtremeDesign> { };

TEST_P(ExtremeDesigns, TapsAndEveryTracePointAreFinite)
{
    const std::vector<double> taps = GetParam().design();
    ASSERT_FALSE(taps.empty());
    for (double tap : taps)
        ASSERT_TRUE(std::isfinite(tap)) << tap;
    const double reference = logReference(taps);
    const int count = static_cast<int>(taps.size());
    for (const ResponsePoint& point : responseSweep(taps)) {
        const double a = magnitude(point);
        ASSERT_TRUE(std::isfinite(responseX(point.u, count)));
        ASSERT_TRUE(std::isfinite(linearTraceY(a, kLinearScale))) << point.u;
        ASSERT_TRUE(std::isfinite(logTraceY(a, reference))) << point.u;
        ASSERT_TRUE(std::isfinite(phaseTraceY(phaseDegrees(point)))) << point.u;
    }
}

constexpr double kHuge = 1e308;
// fs / 500 = 2e-324 lies below half the smallest double (4.9e-324) and rounds to zero.
constexpr double kTiny = 1e-321;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Limits, ExtremeDesigns,
    testing::Values(
        // ((2 k) pi f0) / fs overflows before the division.
        ExtremeDesign{"BandpassNearLargestDouble",
                      [] { return bandpassTaps(kHuge, 1, 4e307, 500); }},
        ExtremeDesign{"BandstopNearLargestDouble",
                      [] { return bandstopTaps(kHuge, 4e307, 4e307, 500); }},
        ExtremeDesign{"LowpassTinySampling",
                      [] { return blackmanLowpassTaps(kTiny, 5e-324, 500); }},
        ExtremeDesign{"HighpassTinySampling", [] { return highpassTaps(kTiny, 5e-324, 500); }},
        ExtremeDesign{"RectangularTinySampling",
                      [] { return rectangularLowpassTaps(kTiny, 5e-324, 500); }},
        ExtremeDesign{"BandpassTinySampling",
                      [] { return bandpassTaps(kTiny, 5e-324, 5e-324, 500); }}),
    tables::rowName);
// clang-format on

TEST(FirDesignExtremes, LargeCarrierKeepsItsAngleWhereItFits)
{
    // f0 / fs = 0.4 either way: the carrier is sin(0.8 pi k) whatever the magnitudes; B / fs =
    // 0.01 either way, so both prototypes hold M = 1 + floor(0.01 x 21) = 1 bin.
    const std::vector<double> huge = bandpassTaps(kHuge, 1e306, 4e307, 21);
    const std::vector<double> plain = bandpassTaps(1000, 10, 400, 21);
    for (std::size_t k = 0; k < huge.size(); ++k)
        EXPECT_NEAR(huge[k] / blackmanWindow(static_cast<int>(k) + 1, 21),
                    plain[k] / blackmanWindow(static_cast<int>(k) + 1, 21), 1e-9)
            << "slot " << k + 1;
}

TEST(FirDesignExtremes, PassbandNeverCoversMoreThanEveryBin)
{
    // The cutoff one step below fs/2: 2 fc / (fs / N) rounds up to N = 15 itself, and 1 + 15
    // bins would be more than the N there are.
    const double justBelowHalf = std::nextafter(500.0, 0.0);
    EXPECT_EQ(passbandBins(justBelowHalf, 1000, 15), 15);
    // fs / N rounds to zero (kTiny): the quotient is infinite and N = 500 bins is all there is.
    EXPECT_EQ(passbandBins(5e-324, kTiny, 500), 500);
}

} // namespace
} // namespace dsp::fir
