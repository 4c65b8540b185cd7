// The spectrum screen over each synthesis screen: its captions, its lines, and the way back.

#include "gui_support.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using namespace guitest;

const QColor kBlack(0, 0, 0);
const QColor kLightBlue(0, 0, 255);
const QColor kLightRed(255, 0, 0);
const QColor kLightCyan(0, 255, 255);
const QColor kDarkRed(192, 0, 0);

const char* const kOddCount = "The number of ODD harmonics  =  ";
const char* const kCount = "The number of harmonics  =  ";
const char* const kNoEvenEnergy = "There is no energy at the EVEN harmonic frequencies.";
const char* const kEvenAndOddEnergy = "There is energy at both EVEN and ODD harmonic frequencies.";
const char* const kDcRemark = "There is a dc component [0 Hz].";

QStringList argumentsOf(const std::vector<const char*>& arguments)
{
    QStringList list;
    for (const char* argument : arguments)
        list << QString::fromUtf8(argument);
    return list;
}

// A colour at a logical position of the spectrum canvas, there or (present = false) not within
// a pixel of it.
struct Probe {
    double x;
    double y;
    QColor colour;
    bool present = true;
};

struct SpectrumCase {
    const char* name;
    std::vector<const char*> arguments;
    const char* synthesisForm; // the screen underneath; nullptr when the spectrum is opened alone
    QString label1;
    const char* label2;
    const char* label3;
    const char* label4;
    const char* label5;
    std::vector<Probe> probes;
};

class SpectrumKinds : public ::testing::TestWithParam<SpectrumCase> { };

TEST_P(SpectrumKinds, CaptionsAndLines)
{
    const SpectrumCase& c = GetParam();
    const auto result = run(argumentsOf(c.arguments));
    ASSERT_EQ(result.exitCode, 0) << result.failure.toStdString();
    if (c.synthesisForm) {
        EXPECT_EQ(openWindows(result), (QStringList{c.synthesisForm, "Form7"}));
        EXPECT_TRUE(window(result, "Form7").value("modal").toBool());
    }
    const QJsonObject spectrum = window(result, "Form7");
    EXPECT_EQ(spectrum.value("caption").toString(), "Spectrum plot");
    EXPECT_EQ(spectrum.value("mousePointer").toInt(), 0);
    EXPECT_EQ(control(result, "Form7", "Label1"), c.label1);
    EXPECT_EQ(control(result, "Form7", "Label2"), c.label2);
    EXPECT_EQ(control(result, "Form7", "Label3"), c.label3);
    EXPECT_EQ(control(result, "Form7", "Label4"), c.label4);
    EXPECT_EQ(control(result, "Form7", "Label5"), c.label5);
    EXPECT_EQ(control(result, "Form7", "Label6"), "Vp");
    // The axes stand whatever the kind.
    EXPECT_TRUE(canvasHasNear(result, "Form7", 300, 300, kLightCyan));
    EXPECT_TRUE(canvasHasNear(result, "Form7", 28, 60, kLightCyan));
    for (const Probe& probe : c.probes)
        EXPECT_EQ(canvasHasNear(result, "Form7", probe.x, probe.y, probe.colour), probe.present)
            << "(" << probe.x << ", " << probe.y << ") " << probe.colour.name().toStdString();
}

// Line tops: 300 minus the amplitude, full scale 200 units.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Kinds, SpectrumKinds, ::testing::Values(
    // (4/pi) 200 = 254.65 at the fundamental, 50.93 at the fifth; black markers at the evens.
    SpectrumCase{"Square", {"--screen", "square", "--answer", "3", "--click", "View Spectrum"},
                 "Form3",
                 QString(kOddCount) + "3", "Square Wave Spectrum", kNoEvenEnergy, "", "",
                 {{40, 47, kLightRed}, {40, 40, kLightRed, false}, {50, 299, kBlack},
                  {80, 252, kLightRed}, {80, 244, kLightRed, false}, {100, 250, kLightRed, false}}},
    // (8/pi^2) 200 = 162.11.
    SpectrumCase{"Triangle", {"--screen", "triangle", "--answer", "3", "--click", "View Spectrum"},
                 "Form4",
                 QString(kOddCount) + "3", "Triangle Wave Spectrum", kNoEvenEnergy, "", "",
                 {{40, 140, kLightRed}, {40, 133, kLightRed, false}, {50, 299, kBlack}}},
    // (2/pi) 200 = 127.32, then half of it at the second harmonic.
    SpectrumCase{"Sawtooth", {"--screen", "sawtooth", "--answer", "3", "--click", "View Spectrum"},
                 "Form5",
                 QString(kCount) + "3", "Sawtooth Wave Spectrum", kEvenAndOddEnergy, "", "",
                 {{50, 175, kLightRed}, {50, 168, kLightRed, false}, {70, 238, kLightRed},
                  {70, 232, kLightRed, false}}},
    // Above 20 harmonics the lines close up so that the last stands at x = 430.
    SpectrumCase{"SawtoothSqueezed", {"--screen", "sawtooth", "--answer", "25", "--click",
                                      "View Spectrum"},
                 "Form5", QString(kCount) + "25", "Sawtooth Wave Spectrum", kEvenAndOddEnergy, "",
                 "",
                 {{46, 175, kLightRed}, {430, 298, kLightRed}, {450, 298, kLightRed, false}}},
    // dc 0.2 x 200 = 40 in light blue; the fundamental (400/pi) sin(0.2 pi) = 74.84.
    SpectrumCase{"Pulse", {"--screen", "pulse", "--answer", "13", "--answer", "0.2", "--click",
                           "View Spectrum"},
                 "Form13", QString(kCount) + "13", "Pulse Wave Spectrum", kEvenAndOddEnergy,
                 "Duty Cycle = 0.2",
                 kDcRemark,
                 {{30, 262, kLightBlue}, {30, 255, kLightBlue, false}, {50, 228, kLightRed},
                  {50, 221, kLightRed, false}}},
    // A cancelled duty cycle shows as nothing after the caption's equals sign and draws as 0.
    SpectrumCase{"PulseWithoutDutyCycle",
                 {"--screen", "pulse", "--answer", "13", "--cancel", "--click", "View Spectrum"},
                 "Form13",
                 QString(kCount) + "13", "Pulse Wave Spectrum", kEvenAndOddEnergy, "Duty Cycle = ",
                 kDcRemark,
                 {{30, 290, kLightBlue, false}, {50, 290, kLightRed, false}}},
    // 0 harmonics: the dc line alone, 0.5 x 200 = 100 tall.
    SpectrumCase{"PulseDcOnly", {"--screen", "pulse", "--answer", "0", "--answer", "0.5", "--click",
                                 "View Spectrum"},
                 "Form13", QString(kCount) + "0", "Pulse Wave Spectrum", kEvenAndOddEnergy,
                 "Duty Cycle = 0.5",
                 kDcRemark, {{30, 205, kLightBlue}, {30, 195, kLightBlue, false},
                             {50, 295, kLightRed, false}}},
    // First line 10 x 200 / (3 pi) = 212.21, dc 0.9 of it = 190.99, second 800 / (15 pi) = 16.98.
    SpectrumCase{"FullWave",
                 {"--screen", "rectified", "--answer", "F", "--answer", "3", "--click",
                  "View Spectrum"}, "Form6",
                 QString(kCount) + "3", "Rectified Full Wave Spectrum", kEvenAndOddEnergy, " ",
                 kDcRemark,
                 {{50, 90, kLightRed}, {50, 83, kLightRed, false}, {30, 112, kLightBlue},
                  {30, 104, kLightBlue, false}, {70, 286, kLightRed}}},
    // Fundamental fixed at 100, second harmonic 400 / (3 pi) = 42.44, fourth 8.49, dc 73.65;
    // black markers at the odd harmonics 3 and 5.
    SpectrumCase{"HalfWave",
                 {"--screen", "rectified", "--answer", "h", "--answer", "3", "--click",
                  "View Spectrum"}, "Form6",
                 QString(kCount) + "3", "Rectified Half Wave Spectrum",
                 "There is energy at the EVEN harmonic frequencies.",
                 "The fundamental is the first and the only odd harmonic.", kDcRemark,
                 {{40, 202, kLightRed}, {40, 195, kLightRed, false}, {50, 260, kLightRed},
                  {60, 299, kBlack},
                  {70, 294, kLightRed}, {80, 299, kBlack}, {30, 229, kLightBlue},
                  {30, 222, kLightBlue, false}}},
    SpectrumCase{"HalfWaveWithoutHarmonics",
                 {"--screen", "rectified", "--answer", "h", "--answer", "0", "--click",
                  "View Spectrum"}, "Form6",
                 QString(kCount) + "0", "Rectified Half Wave Spectrum",
                 "There is energy at the EVEN harmonic frequencies.",
                 "The fundamental is the first and the only odd harmonic.", kDcRemark,
                 {{30, 290, kLightBlue, false}, {40, 250, kLightRed, false}}},
    // Opened with no synthesis behind it: no kind, so the axes and the design captions.
    SpectrumCase{"NoKind", {"--screen", "spectrum"}, nullptr, "Label1", "Label2", "Label3",
                 "Label4", "",
                 {{40, 250, kLightRed, false}, {100, 100, kLightRed, false},
                  {30, 100, kLightRed}}}),
    tables::rowName);
// clang-format on

// ---- Back to the synthesis screen --------------------------------------------------------------

struct Leaving {
    const char* name;
    const char* steps;
};

class LeavingTheSpectrum : public ::testing::TestWithParam<Leaving> { };

TEST_P(LeavingTheSpectrum, LeavesTheSynthesisScreenAsDrawn)
{
    const auto drawn = run({"--screen", "square", "--answer", "3"});
    QStringList arguments{"--screen", "square", "--answer", "3", "--click", "View Spectrum"};
    arguments << QString::fromUtf8(GetParam().steps).split(' ');
    const auto back = run(arguments);
    ASSERT_EQ(back.exitCode, 0) << back.failure.toStdString();
    EXPECT_EQ(openWindows(back), QStringList{"Form3"});
    EXPECT_EQ(control(back, "Form3", "Label2"), "Risetime  =  .35 Divisions");
    EXPECT_EQ(back.snapshot.canvas("Form3"), drawn.snapshot.canvas("Form3"));
    EXPECT_EQ(shared(back).value("WaveType").toString(), "SQR");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Ways, LeavingTheSpectrum,
                         ::testing::Values(Leaving{"CloseButton", "--click Close"},
                                           Leaving{"CloseBox", "--close"}),
                         tables::rowName);
// clang-format on

TEST(SpectrumScreen, OnlyTheSpectrumTakesInputWhileItIsOpen)
{
    const auto result = run({"--screen", "triangle", "--answer", "3", "--click", "View Spectrum",
                             "--click", "Main Menu"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.failure.contains("Form7")) << result.failure.toStdString();
}

// Each showing draws afresh from what the synthesis screen left last.
TEST(SpectrumScreen, EveryShowingRedrawsFromTheSharedState)
{
    const auto again = run({"--screen", "pulse", "--answer", "13", "--answer", "0.2", "--click",
                            "View Spectrum", "--click", "Close", "--click", "View Spectrum"});
    EXPECT_EQ(openWindows(again), (QStringList{"Form13", "Form7"}));
    EXPECT_TRUE(canvasHasNear(again, "Form7", 30, 262, kLightBlue));

    const auto changed = run({"--screen", "rectified", "--answer", "F", "--answer", "3", "--click",
                              "View Spectrum", "--click", "Close", "--click", "Do Another",
                              "--answer", "h", "--answer", "3", "--click", "View Spectrum"});
    EXPECT_EQ(openWindows(changed), (QStringList{"Form2", "Form6", "Form7"}));
    EXPECT_EQ(control(changed, "Form7", "Label2"), "Rectified Half Wave Spectrum");
    EXPECT_TRUE(canvasHasNear(changed, "Form7", 30, 229, kLightBlue));
    EXPECT_FALSE(canvasHasNear(changed, "Form7", 30, 112, kLightBlue));
    EXPECT_FALSE(canvasHasNear(changed, "Form7", 50, 90, kLightRed));
}

// True when the window, labels included, shows the colour somewhere inside the control's place.
bool controlShows(const program::SessionResult& result, const QString& form, const QString& control,
                  const QColor& colour)
{
    const QImage image = result.snapshot.window(form);
    const QRect area = place(result, form, control).intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (QColor(image.pixel(x, y)) == colour)
                return true;
    return false;
}

TEST(SpectrumScreen, CaptionColours)
{
    const auto result =
        run({"--screen", "pulse", "--answer", "13", "--answer", "0.2", "--click", "View Spectrum"});
    // Label6 "Vp", Label2 the title, Label1 the count, Label5 the dc remark.
    EXPECT_TRUE(controlShows(result, "Form7", "Label6", kDarkRed));
    EXPECT_TRUE(controlShows(result, "Form7", "Label2", kDarkRed));
    EXPECT_FALSE(controlShows(result, "Form7", "Label2", kBlack));
    EXPECT_TRUE(controlShows(result, "Form7", "Label1", kBlack));
    EXPECT_FALSE(controlShows(result, "Form7", "Label1", kDarkRed));
    EXPECT_TRUE(controlShows(result, "Form7", "Label5", kLightBlue));
    EXPECT_FALSE(controlShows(result, "Form7", "Label5", kBlack));
}

} // namespace
