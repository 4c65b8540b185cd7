// The filter screens' response as numbers: the frequency under a plot x, decibels, and the
// table of the sweep's points the traces were drawn from.

#include "dsp/fir_response.h"
#include "dsp/plot.h"
#include "dsp/response_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using dsp::kPi;

// 0 Hz at x = 10, fs/2 at x = 478 (dsp/fir_response.h).
TEST(FrequencyAtX, SpansThePlotFromZeroToHalfTheRate)
{
    EXPECT_EQ(dsp::fir::frequencyAtX(10, 1000), 0);
    EXPECT_EQ(dsp::fir::frequencyAtX(478, 1000), 500);
    EXPECT_EQ(dsp::fir::frequencyAtX(244, 1000), 250);
}

// x = responseX(u, N) stands for the frequency u fs / N.
TEST(FrequencyAtX, UndoesTheSweepsPlacing)
{
    constexpr int kTaps = 15;
    for (double u : {0.0, 0.37, 1.0, 5.5, 7.5})
        EXPECT_NEAR(dsp::fir::frequencyAtX(dsp::fir::responseX(u, kTaps), 2000), u * 2000 / kTaps,
                    1e-9)
            << u;
}

TEST(Decibels, AreTwentyTimesTheLogarithm)
{
    EXPECT_EQ(dsp::fir::decibels(1), 0);
    EXPECT_DOUBLE_EQ(dsp::fir::decibels(0.1), -20);
    EXPECT_DOUBLE_EQ(dsp::fir::decibels(1000), 60);
    EXPECT_EQ(dsp::fir::decibels(0), -std::numeric_limits<double>::infinity());
}

// Two taps of 1/2, the two-point average: H = (1 + e^(-i 2 pi f / fs)) / 2, so |H| = cos(pi f / fs)
// and the phase -180 f / fs degrees, at f = u fs / 2 on the sweep's u = 0, 0.01, ... 1.
TEST(ResponseTable, IsTheSweepOfATwoPointAverage)
{
    const std::vector<double> taps{0.5, 0.5};
    const auto sweep = dsp::fir::responseSweep(taps);
    const auto rows = dsp::fir::responseTable(sweep, taps, 1000);
    ASSERT_EQ(rows.size(), sweep.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double u = sweep[i].u;
        EXPECT_DOUBLE_EQ(rows[i].frequencyHz, u * 500);
        EXPECT_NEAR(rows[i].magnitude, std::cos(kPi * u / 2), 1e-12) << u;
        EXPECT_NEAR(rows[i].magnitudeDb, 20 * std::log10(std::cos(kPi * u / 2)), 1e-9) << u;
        EXPECT_NEAR(rows[i].phaseDeg, -90 * u, 1e-6) << u;
    }
}

} // namespace
