#include "dsp/harmonic_lines.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using dsp::kPi;
using dsp::SpectrumPlot;
using dsp::Stroke;

constexpr std::size_t kFrameStrokes = 3; // two axes and the full-scale tick

SpectrumPlot plot(const std::string& kind, int harmonics, const std::string& duty = "0.2",
                  const std::string& rectify = "F")
{
    // The screens store the wave by its code; an unknown code is no wave.
    return dsp::spectrumPlot(dsp::waveTypeFromCode(kind), harmonics, duty, rectify);
}

double height(const Stroke& s) { return s.to.y - s.from.y; }

// ---- Spacing --------------------------------------------------------------------------------

struct SpacingCase {
    int harmonics;
    double factor;
};

class Spacing : public ::testing::TestWithParam<SpacingCase> { };

TEST_P(Spacing, CompressesOnlyAboveTwentyHarmonics)
{
    EXPECT_DOUBLE_EQ(dsp::spacingFactor(GetParam().harmonics), GetParam().factor);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Counts, Spacing,
                         ::testing::Values(SpacingCase{0, 1}, SpacingCase{1, 1},
                                           SpacingCase{20, 1}, SpacingCase{21, 20.0 / 21},
                                           SpacingCase{40, 0.5}, SpacingCase{32767, 20.0 / 32767}),
                         [](const auto& info) {
                             return "harmonics_" + std::to_string(info.param.harmonics);
                             // clang-format on
                         });

// Squeezed or not, the last square or triangle marker (harmonic 2N) stands at x = 430.
TEST(Spacing, OddHarmonicSpectraEndAtX430)
{
    for (const char* kind : {"SQR", "TRI"})
        for (int harmonics : {20, 21, 100}) {
            const Stroke last = plot(kind, harmonics).strokes.back();
            EXPECT_NEAR(last.from.x, 430, 1e-9) << kind << " " << harmonics;
            EXPECT_TRUE(last.isPoint());
        }
}

// ---- Frame ----------------------------------------------------------------------------------

struct FrameCase {
    const char* name;
    const char* kind;
};

class Frame : public ::testing::TestWithParam<FrameCase> { };

TEST_P(Frame, AxesAndTickComeFirst)
{
    const SpectrumPlot p = plot(GetParam().kind, 3);
    ASSERT_GE(p.strokes.size(), kFrameStrokes);
    const Stroke frame[] = {{{28, 300}, {590, 300}, 11, 1},
                            {{28, 300}, {28, 30}, 11, 1},
                            {{25, 100}, {35, 100}, 12, 1}};
    for (std::size_t i = 0; i < kFrameStrokes; ++i) {
        EXPECT_EQ(p.strokes[i].from, frame[i].from) << i;
        EXPECT_EQ(p.strokes[i].to, frame[i].to) << i;
        EXPECT_EQ(p.strokes[i].palette, frame[i].palette) << i;
        EXPECT_EQ(p.strokes[i].width, frame[i].width) << i;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Kinds, Frame,
    ::testing::Values(FrameCase{"square", "SQR"}, FrameCase{"triangle", "TRI"},
                      FrameCase{"sawtooth", "SAW"}, FrameCase{"pulse", "PULSE"},
                      FrameCase{"rectified", "REC"}, FrameCase{"lowerCaseKind", "sqr"},
                      FrameCase{"emptyKind", ""}),
    tables::rowName);
// clang-format on

// ---- Single lines ---------------------------------------------------------------------------

struct LineCase {
    const char* name;
    SpectrumPlot plot;
    int index; // -1 counts from the end
    double x;
    double height; // upwards from the axis
    int palette;
    int width;
};

class Line : public ::testing::TestWithParam<LineCase> { };

TEST_P(Line, StandsOnTheAxisWithItsHeight)
{
    const auto& c = GetParam();
    const auto& strokes = c.plot.strokes;
    const Stroke& s =
        c.index >= 0 ? strokes.at(kFrameStrokes + c.index) : strokes.at(strokes.size() + c.index);
    EXPECT_NEAR(s.from.x, c.x, 1e-9);
    EXPECT_EQ(s.to.x, s.from.x);
    EXPECT_EQ(std::max(s.from.y, s.to.y), c.palette == 0 ? 299 : 300);
    EXPECT_NEAR(std::abs(height(s)), c.height, 0.005);
    EXPECT_EQ(s.palette, c.palette);
    EXPECT_EQ(s.width, c.width);
}

// Heights in units of the 200-unit full scale: square 4/pi (254.65), triangle 8/pi^2 (162.11),
// sawtooth 2/pi, pulse (2/pi)|sin(pi k D)|/k and D for the dc; the full-wave first line is
// 10/(3 pi) (212.21) with a dc of 0.9 of it; the half-wave fundamental is fixed at 100 and its
// dc is 0.45 (1/pi + 1/2) of full scale (73.65).
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Kinds, Line,
    ::testing::Values(
        LineCase{"squareFirst", plot("SQR", 3), 0, 40, 254.65, 12, 2},
        LineCase{"squareEvenMarker", plot("SQR", 3), 1, 50, 0, 0, 1},
        LineCase{"squareFifth", plot("SQR", 3), 4, 80, 254.65 / 5, 12, 2},
        LineCase{"triangleFirst", plot("TRI", 3), 0, 40, 162.11, 12, 2},
        LineCase{"triangleThird", plot("TRI", 3), 2, 60, 162.11 / 9, 12, 2},
        LineCase{"sawtoothFirst", plot("SAW", 3), 0, 50, 127.32, 12, 2},
        LineCase{"sawtoothThird", plot("SAW", 3), 2, 90, 42.44, 12, 2},
        LineCase{"pulseFirst", plot("PULSE", 13), 0, 50, 400 / kPi * std::sin(0.2 * kPi), 12, 2},
        LineCase{"pulseFifthNearlyZero", plot("PULSE", 13), 4, 130, 0, 12, 2},
        LineCase{"pulseDc", plot("PULSE", 13), -1, 30, 40, 9, 2},
        LineCase{"pulseHalfDc", plot("PULSE", 13, "0.5"), -1, 30, 100, 9, 2},
        LineCase{"pulseSqueezed", plot("PULSE", 40), 39, 430, 0, 12, 2},
        LineCase{"fullWaveFirst", plot("REC", 3, "", "F"), 0, 50, 212.21, 12, 2},
        LineCase{"fullWaveSecond", plot("REC", 3, "", "f"), 1, 70, 16.98, 12, 2},
        LineCase{"fullWaveThird", plot("REC", 3, "", "F"), 2, 90, 800 / (kPi * 35), 12, 2},
        LineCase{"fullWaveDc", plot("REC", 3, "", "F"), -1, 30, 190.99, 9, 2},
        LineCase{"fullWaveUnsqueezed", plot("REC", 31, "", "F"), -2, 650, 800 / (kPi * 3843), 12,
                 2},
        LineCase{"halfWaveSecond", plot("REC", 3, "", "H"), 1, 50, 42.44, 12, 2},
        LineCase{"halfWaveThirdMarker", plot("REC", 3, "", "H"), 2, 60, 0, 0, 1},
        LineCase{"halfWaveFourth", plot("REC", 3, "", "H"), 3, 70, 400 / (kPi * 15), 12, 2},
        LineCase{"halfWaveDc", plot("REC", 3, "", "H"), -1, 30, 73.65, 9, 2}),
    tables::rowName);
// clang-format on

// The fundamental is plotted from one unit above the axis up to y = 200: 100 units of full scale.
TEST(HalfWaveSpectrum, FundamentalRunsFrom299UpTo200)
{
    const Stroke s = plot("REC", 5, "", "h").strokes.at(kFrameStrokes);
    EXPECT_EQ(s.from, (dsp::PlotPoint{40, 299}));
    EXPECT_EQ(s.to, (dsp::PlotPoint{40, 200}));
}

// With the five-decimal pi, sin(k pi / 2) for even k is tiny but not 0: a dot on the axis.
TEST(PulseSpectrum, HalfDutyCycleLeavesEvenHarmonicsNearlyEmpty)
{
    const SpectrumPlot p = plot("PULSE", 10, "0.5");
    for (int k = 1; k <= 10; ++k) {
        const double h = std::abs(height(p.strokes.at(kFrameStrokes + k - 1)));
        if (k % 2 == 0)
            EXPECT_LT(h, 1e-3) << "harmonic " << k;
        else
            EXPECT_NEAR(h, 400 / (k * kPi), 1e-3) << "harmonic " << k;
    }
}

// A cancelled duty-cycle prompt leaves an empty text: no energy anywhere, the dc line shrinks to
// a dot at (30, 300), and the caption ends after "= ".
TEST(PulseSpectrum, EmptyDutyCycleDrawsAsZero)
{
    const SpectrumPlot p = plot("PULSE", 3, "");
    ASSERT_EQ(p.strokes.size(), kFrameStrokes + 4);
    for (std::size_t i = kFrameStrokes; i < p.strokes.size(); ++i)
        EXPECT_NEAR(height(p.strokes[i]), 0, 1e-12) << i;
    EXPECT_TRUE(p.strokes.back().isPoint());
    EXPECT_EQ(p.strokes.back().from, (dsp::PlotPoint{30, 300}));
    EXPECT_EQ(p.label4, "Duty Cycle = ");
}

// The pulse screen leaves a duty cycle above 1 behind when it refuses to draw it. 1.5 reaches the
// canvas top exactly; beyond that the dc line stops there, and the largest answers, whose phases
// k pi D overflow, still give nothing but finite coordinates.
TEST(PulseSpectrum, DutyCycleAboveOneStaysOnTheCanvas)
{
    for (const char* duty : {"1.5", "2", "1e300", "1e308"}) {
        const SpectrumPlot p = plot("PULSE", 13, duty);
        for (const Stroke& s : p.strokes)
            for (double coordinate : {s.from.x, s.from.y, s.to.x, s.to.y})
                ASSERT_TRUE(std::isfinite(coordinate)) << duty;
        EXPECT_EQ(p.strokes.back().to, (dsp::PlotPoint{30, 0})) << duty;
    }
}

// ---- Stroke counts --------------------------------------------------------------------------

struct CountCase {
    const char* name;
    SpectrumPlot plot;
    std::size_t strokes; // after the frame
    std::size_t markers; // black points among them
};

class StrokeCount : public ::testing::TestWithParam<CountCase> { };

TEST_P(StrokeCount, DrawsOneStrokePerHarmonicAndDcLine)
{
    const auto& c = GetParam();
    ASSERT_EQ(c.plot.strokes.size(), kFrameStrokes + c.strokes);
    std::size_t markers = 0;
    for (std::size_t i = kFrameStrokes; i < c.plot.strokes.size(); ++i)
        markers += c.plot.strokes[i].palette == 0 ? 1 : 0;
    EXPECT_EQ(markers, c.markers);
}

// Square and triangle: N lines and N markers. Sawtooth: N lines. Pulse: N lines and the dc line,
// which it draws even for N = 0. Rectified: nothing at all for N = 0; full wave N lines and dc;
// half wave the fundamental, N - 1 even lines each with a marker, and dc.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Kinds, StrokeCount,
    ::testing::Values(CountCase{"squareNone", plot("SQR", 0), 0, 0},
                      CountCase{"squareFive", plot("SQR", 5), 10, 5},
                      CountCase{"triangleNone", plot("TRI", 0), 0, 0},
                      CountCase{"triangleFive", plot("TRI", 5), 10, 5},
                      CountCase{"sawtoothNone", plot("SAW", 0), 0, 0},
                      CountCase{"sawtoothFive", plot("SAW", 5), 5, 0},
                      CountCase{"pulseNone", plot("PULSE", 0), 1, 0},
                      CountCase{"pulseFive", plot("PULSE", 5), 6, 0},
                      CountCase{"fullWaveNone", plot("REC", 0, "", "F"), 0, 0},
                      CountCase{"fullWaveFive", plot("REC", 5, "", "F"), 6, 0},
                      CountCase{"halfWaveNone", plot("REC", 0, "", "H"), 0, 0},
                      CountCase{"halfWaveOne", plot("REC", 1, "", "H"), 2, 0},
                      CountCase{"halfWaveFive", plot("REC", 5, "", "H"), 10, 4},
                      CountCase{"unknown", plot("TRIANGLE", 5), 0, 0}),
    tables::rowName);
// clang-format on

// ---- Captions -------------------------------------------------------------------------------

struct CaptionCase {
    const char* name;
    SpectrumPlot plot;
    bool known;
    std::vector<std::string> labels;
};

class Captions : public ::testing::TestWithParam<CaptionCase> { };

TEST_P(Captions, ReadAsDesigned)
{
    const auto& c = GetParam();
    EXPECT_EQ(c.plot.known, c.known);
    const std::string actual[] = {c.plot.label1, c.plot.label2, c.plot.label3, c.plot.label4,
                                  c.plot.label5};
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(actual[i], c.labels[i]) << "Label" << i + 1;
}

const std::string kNoEven = "There is no energy at the EVEN harmonic frequencies.";
const std::string kBoth = "There is energy at both EVEN and ODD harmonic frequencies.";
const std::string kDc = "There is a dc component [0 Hz].";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Kinds, Captions,
    ::testing::Values(
        CaptionCase{"square", plot("SQR", 3), true,
                    {"The number of ODD harmonics  =  3", "Square Wave Spectrum", kNoEven, "", ""}},
        CaptionCase{"triangle", plot("TRI", 0), true,
                    {"The number of ODD harmonics  =  0", "Triangle Wave Spectrum", kNoEven, "",
                     ""}},
        CaptionCase{"sawtooth", plot("SAW", 32767), true,
                    {"The number of harmonics  =  32767", "Sawtooth Wave Spectrum", kBoth, "", ""}},
        CaptionCase{"pulse", plot("PULSE", 13, " .2"), true,
                    {"The number of harmonics  =  13", "Pulse Wave Spectrum", kBoth,
                     "Duty Cycle =  .2", kDc}},
        CaptionCase{"fullWave", plot("REC", 3, "", "f"), true,
                    {"The number of harmonics  =  3", "Rectified Full Wave Spectrum", kBoth, " ",
                     kDc}},
        CaptionCase{"halfWave", plot("REC", 3, "", "H"), true,
                    {"The number of harmonics  =  3", "Rectified Half Wave Spectrum",
                     "There is energy at the EVEN harmonic frequencies.",
                     "The fundamental is the first and the only odd harmonic.", kDc}},
        CaptionCase{"lowerCaseKind", plot("sqr", 3), false,
                    {"Label1", "Label2", "Label3", "Label4", ""}},
        CaptionCase{"emptyKind", plot("", 3), false, {"Label1", "Label2", "Label3", "Label4", ""}}),
    tables::rowName);
// clang-format on

struct ChoiceCase {
    const char* name;
    const char* choice;
    bool fullWave;
};

class RectifyChoice : public ::testing::TestWithParam<ChoiceCase> { };

TEST_P(RectifyChoice, OnlyASingleFMeansFullWave)
{
    const auto& c = GetParam();
    EXPECT_EQ(dsp::isFullWave(c.choice), c.fullWave);
    EXPECT_EQ(plot("REC", 2, "", c.choice).label2,
              c.fullWave ? "Rectified Full Wave Spectrum" : "Rectified Half Wave Spectrum");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Answers, RectifyChoice,
                         ::testing::Values(ChoiceCase{"upperF", "F", true},
                                           ChoiceCase{"lowerF", "f", true},
                                           ChoiceCase{"upperH", "H", false},
                                           ChoiceCase{"lowerH", "h", false},
                                           ChoiceCase{"empty", "", false},
                                           ChoiceCase{"blankBeforeF", " F", false},
                                           ChoiceCase{"wordFull", "Full", false},
                                           ChoiceCase{"otherLetter", "x", false}),
                         tables::rowName);
// clang-format on

} // namespace
