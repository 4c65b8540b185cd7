// Where the screens draw: the plot's description against the positions the screens must show,
// each written out here from the picture (a 10 x 8 graticule of 47-unit divisions from (8, 8),
// 0 Hz to fs/2 across x = 10 to 478, and so on), not taken from the description's constants.

#include "dsp/curve_sweep.h"
#include "dsp/plot_geometry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PlotCase {
    const char* name;
    double drawn;    // from the description
    double expected; // from the picture
    double tolerance;
};

class PlotGeometry : public ::testing::TestWithParam<PlotCase> { };

TEST_P(PlotGeometry, PutsThePictureWhereTheScreensDrawIt)
{
    const PlotCase& c = GetParam();
    EXPECT_NEAR(c.drawn, c.expected, c.tolerance);
}

// The last x a sweep draws: its time axis stepped as the screens step it.
double lastX(const dsp::Sweep& sweep) { return sweep.xAt(dsp::sweepTimes(sweep).back()); }

// Sums of up to some 1250 steps of 0.02 carry some 1e-12 of rounding.
constexpr double kSwept = 1e-9;

// The spectrum's squeeze for 40 harmonics: 20 / 40.
constexpr double kHalfSqueeze = 0.5;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Plot, PlotGeometry, ::testing::Values(
    // The graticule as DrawGrid draws it: lines every 47 units from (8, 8), 10 across, 8 down.
    PlotCase{"GraticuleLeftEdge", dsp::graticuleLineX(0), 8, 0},
    PlotCase{"GraticuleSecondVertical", dsp::graticuleLineX(1), 55, 0},
    PlotCase{"GraticuleMiddleVertical", dsp::graticuleLineX(5), 243, 0},
    PlotCase{"GraticuleRightEdge", dsp::graticuleLineX(10), 478, 0},
    PlotCase{"GraticuleRightEdgeConstant", dsp::kGraticuleRight, 478, 0},
    PlotCase{"GraticuleTopEdge", dsp::graticuleLineY(0), 8, 0},
    PlotCase{"GraticuleSecondHorizontal", dsp::graticuleLineY(1), 55, 0},
    PlotCase{"GraticuleMiddleLine", dsp::graticuleLineY(4), 196, 0},
    PlotCase{"GraticuleMiddleLineConstant", dsp::kGraticuleMiddleY, 196, 0},
    PlotCase{"GraticuleSeventhHorizontal", dsp::graticuleLineY(7), 337, 0},
    PlotCase{"GraticuleBottomEdge", dsp::graticuleLineY(8), 384, 0},
    PlotCase{"GraticuleBottomEdgeConstant", dsp::kGraticuleBottom, 384, 0},
    PlotCase{"GraticuleVerticalLines", dsp::kGraticuleColumns + 1, 11, 0},
    PlotCase{"GraticuleHorizontalLines", dsp::kGraticuleRows + 1, 9, 0},
    // The filter screens: 0 Hz at x = 10, fs/2 at x = 478, fs/4 halfway at 244.
    PlotCase{"ZeroHertzAtTheLeft", dsp::responseXAtBin(0, 15), 10, 0},
    PlotCase{"HalfTheRateAtTheRightOddTaps", dsp::responseXAtBin(7.5, 15), 478, 0},
    PlotCase{"HalfTheRateAtTheRightEvenTaps", dsp::responseXAtBin(8, 16), 478, 0},
    PlotCase{"QuarterTheRateHalfway", dsp::responseXAtBin(4, 16), 244, 0},
    PlotCase{"FrequencyAtTheLeft", dsp::responseHzAtX(10, 1000), 0, 0},
    PlotCase{"FrequencyAtTheRight", dsp::responseHzAtX(478, 8000), 4000, 0},
    PlotCase{"FrequencyHalfway", dsp::responseHzAtX(244, 1000), 250, 0},
    // Linear trace: 0 on y = 380, unity 280 units up (lowpass), a half at 600 (bandpass).
    PlotCase{"LinearZero", dsp::linearTraceYAt(0, dsp::fir::kLinearScale), 380, 0},
    PlotCase{"LinearUnity", dsp::linearTraceYAt(1, dsp::fir::kLinearScale), 100, 0},
    PlotCase{"LinearBandpassHalf", dsp::linearTraceYAt(0.5, dsp::fir::kBandpassLinearScale), 80,
             0},
    PlotCase{"LinearBandstopUnity", dsp::linearTraceYAt(1, dsp::fir::kBandstopLinearScale), 80,
             0},
    // Logarithmic trace: 0 dB on y = 89, -20 dB 60 units lower, the floor on the bottom edge.
    PlotCase{"LogReferenceLevel", dsp::logTraceYAtLevel(0), 89, 0},
    PlotCase{"LogOneDecadeDown", dsp::logTraceYAtLevel(-dsp::kLogTraceUnitsPerDecade), 149, 0},
    PlotCase{"LogFloor", dsp::logTraceYAtLevel(dsp::kLogTraceFloorLevel), 384, 0},
    // Phase trace: 0 degrees on the middle line, 1.275 degrees a unit.
    PlotCase{"PhaseZero", dsp::phaseTraceYAt(0), 196, 0},
    PlotCase{"PhasePlusHalfTurn", dsp::phaseTraceYAt(180), 54.82, 0.005},
    PlotCase{"PhaseMinusHalfTurn", dsp::phaseTraceYAt(-180), 337.18, 0.005},
    PlotCase{"PhaseStartsAtZeroHertz", dsp::kResponseZeroHzX, 10, 0},
    // Synthesis: y = 196 - 63 v, so 1 at y = 133, -1 at 259 and the square's 90 % at 139.3.
    PlotCase{"CurveZero", dsp::curveYAt(0), 196, 0},
    PlotCase{"CurveOne", dsp::curveYAt(1), 133, 0},
    PlotCase{"CurveMinusOne", dsp::curveYAt(-1), 259, 0},
    PlotCase{"CurveNinetyPercent", dsp::curveYAt(0.9), 139.3, 1e-12},
    // Square: x = 10 + 37 t, t = 0 to 4 pi (five-decimal pi) in steps of 0.02: last t = 12.56.
    PlotCase{"SquareStart", dsp::kSquareSweep.xAt(0), 10, 0},
    PlotCase{"SquareAtTwo", dsp::kSquareSweep.xAt(2), 84, 0},
    PlotCase{"SquareLastTime", dsp::kSquareSweep.lastTime, 4 * 3.14159, 1e-12},
    PlotCase{"SquareEnd", lastX(dsp::kSquareSweep), 10 + 37 * 12.56, kSwept},
    // Triangle and sawtooth: x = 8 + 63 t while x <= 478: last t = 7.46.
    PlotCase{"WideStart", dsp::kWideSweep.xAt(0), 8, 0},
    PlotCase{"WideAtTwo", dsp::kWideSweep.xAt(2), 134, 0},
    PlotCase{"WideEnd", lastX(dsp::kWideSweep), 8 + 63 * 7.46, kSwept},
    // Rectified sines: x = 8 + 19 t, steps of 0.04, while x <= 478: last t = 24.72.
    PlotCase{"RectifiedStart", dsp::kRectifiedSweep.xAt(0), 8, 0},
    PlotCase{"RectifiedAtTwo", dsp::kRectifiedSweep.xAt(2), 46, 0},
    PlotCase{"RectifiedEnd", lastX(dsp::kRectifiedSweep), 8 + 19 * 24.72, kSwept},
    // Pulse train: x = 9 + 19 t, t = 0 to 7.85 pi: last t = 24.66.
    PlotCase{"PulseStart", dsp::kPulseSweep.xAt(0), 9, 0},
    PlotCase{"PulseAtTwo", dsp::kPulseSweep.xAt(2), 47, 0},
    PlotCase{"PulseEnd", lastX(dsp::kPulseSweep), 9 + 19 * 24.66, kSwept},
    // Spectrum: axis on y = 300, full-scale tick on y = 100, dc at x = 30, harmonics 10 units
    // apart (odd-harmonic waves) or 20 (the others), squeezed to end by x = 430.
    PlotCase{"SpectrumAxis", dsp::spectrumTopY(0), 300, 0},
    PlotCase{"SpectrumFullScaleTick", dsp::spectrumTopY(dsp::kSpectrumFullScale), 100, 0},
    PlotCase{"SpectrumDc", dsp::spectrumLineX(dsp::kSpectrumOddSpacing, 0), 30, 0},
    PlotCase{"SpectrumOddFirst", dsp::spectrumLineX(dsp::kSpectrumOddSpacing, 1), 40, 0},
    PlotCase{"SpectrumEveryFirst", dsp::spectrumLineX(dsp::kSpectrumEverySpacing, 1), 50, 0},
    PlotCase{"SpectrumOddLastOfTwenty", dsp::spectrumLineX(dsp::kSpectrumOddSpacing, 40), 430,
             0},
    PlotCase{"SpectrumOddLastOfForty",
             dsp::spectrumLineX(dsp::kSpectrumOddSpacing, 80, kHalfSqueeze), 430, 0},
    PlotCase{"SpectrumEveryLastOfForty",
             dsp::spectrumLineX(dsp::kSpectrumEverySpacing, 40, kHalfSqueeze), 430, 0},
    // Tap plot, 15 taps: slots 468 / 16 = 29.25 apart from x = 10, the centre slot on 244;
    // 16 taps: 468 / 17 apart from half a slot further, the centre slot on 244 too.
    PlotCase{"TapsFirstSlot", dsp::tapPlotPoint(1, 15, 0).x, 39.25, 0},
    PlotCase{"TapsCentreSlotOdd", dsp::tapPlotPoint(8, 15, 0).x, 244, 1e-12},
    PlotCase{"TapsLastSlot", dsp::tapPlotPoint(15, 15, 0).x, 448.75, 0},
    PlotCase{"TapsCentreSlotEven", dsp::tapPlotPoint(8, 16, 0).x, 244, 1e-12},
    PlotCase{"TapsZeroLine", dsp::tapPlotPoint(1, 15, 0).y, 196, 0},
    // The centre tap M / N = 5 / 15 stands 185 units above the zero line, on y = 11.
    PlotCase{"TapsCentreHeight", dsp::tapPlotGain(5, 15) * (5.0 / 15), 185, 1e-12},
    PlotCase{"TapsTop", dsp::tapPlotPoint(8, 15, 185).y, 11, 0}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
