// How many drawn points of the filter screens' traces the fast sweep moves to another pixel
// than the sums term by term would: a point whose height sits on a pixel's edge may fall either
// side of it. Mapped as the canvas maps them: the design screens' 640 x 480 units on an image of
// 792 x 573 pixels (their client area of 11880 x 8595 twips at 15 twips a pixel), each
// coordinate narrowed to float, scaled to the image and floored.

#include "dsp/fir_design.h"
#include "dsp/fir_response.h"
#include "dsp/plot_geometry.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace dsp::fir {
namespace {

using tables::PrintTo;

int toPixel(double units, int imagePixels, double canvasUnits)
{
    const double scaled = static_cast<float>(units) * imagePixels / canvasUnits;
    return static_cast<int>(std::floor(scaled));
}

struct PixelCase {
    std::string name;
    std::vector<double> taps;
    double linearScale;
    bool logTrace;
    int movedAtMost; // points, over all traces
};

class FirResponsePixels : public testing::TestWithParam<PixelCase> { };

TEST_P(FirResponsePixels, FewDrawnPointsMoveAPixel)
{
    const PixelCase& row = GetParam();
    const int taps = static_cast<int>(row.taps.size());
    const double reference = logReference(row.taps);
    const std::vector<ResponsePoint> fast = responseSweep(row.taps);
    const std::vector<ResponsePoint> direct = directResponseSweep(row.taps);
    ASSERT_EQ(fast.size(), direct.size());
    const auto pixelRow = [](double y) { return toPixel(y, 573, 480); };
    int moved[3] = {}; // linear, logarithmic, phase
    for (std::size_t j = 0; j < fast.size(); ++j) {
        ASSERT_EQ(toPixel(responseX(fast[j].u, taps), 792, 640),
                  toPixel(responseX(direct[j].u, taps), 792, 640));
        const double a = magnitude(fast[j]);
        const double b = magnitude(direct[j]);
        moved[0] += pixelRow(linearTraceY(a, row.linearScale))
            != pixelRow(linearTraceY(b, row.linearScale));
        moved[1] +=
            row.logTrace && pixelRow(logTraceY(a, reference)) != pixelRow(logTraceY(b, reference));
        moved[2] += pixelRow(phaseTraceY(phaseDegrees(fast[j])))
            != pixelRow(phaseTraceY(phaseDegrees(direct[j])));
    }
    RecordProperty("linear", moved[0]);
    RecordProperty("logarithmic", moved[1]);
    RecordProperty("phase", moved[2]);
    EXPECT_LE(moved[0] + moved[1] + moved[2], row.movedAtMost)
        << "of " << fast.size() << " points: linear " << moved[0] << ", logarithmic " << moved[1]
        << ", phase " << moved[2];
}

// The screens' default designs, at their default tap counts and at the largest. Measured: none
// moves at the default counts; at 500 taps one phase point of the lowpass does, in the stop band
// at -169 dB, where the angle of R + iI turns by 3e-4 degrees for a change of 1e-15 in either.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    DefaultDesigns, FirResponsePixels,
    testing::Values(
        PixelCase{"Rectangular15", rectangularLowpassTaps(1000, 150, 15), kLinearScale, false, 1},
        PixelCase{"Lowpass15", blackmanLowpassTaps(1000, 150, 15), kLinearScale, true, 1},
        PixelCase{"Highpass15", highpassTaps(1000, 350, 15), kLinearScale, true, 1},
        PixelCase{"Bandpass21", bandpassTaps(1000, 100, 250, 21), kBandpassLinearScale, true, 1},
        PixelCase{"Bandstop29", bandstopTaps(1000, 200, 250, 29), kBandstopLinearScale, true, 1},
        PixelCase{"Rectangular500", rectangularLowpassTaps(1000, 150, 500), kLinearScale, false,
                  5},
        PixelCase{"Lowpass500", blackmanLowpassTaps(1000, 150, 500), kLinearScale, true, 5},
        PixelCase{"Highpass500", highpassTaps(1000, 350, 500), kLinearScale, true, 5},
        PixelCase{"Bandpass500", bandpassTaps(1000, 100, 250, 500), kBandpassLinearScale, true, 5},
        PixelCase{"Bandstop500", bandstopTaps(1000, 200, 250, 500), kBandstopLinearScale, true,
                  5}),
    tables::rowName);
// clang-format on

} // namespace
} // namespace dsp::fir
