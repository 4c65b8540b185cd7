// The read-out under the pointer, moved there by real mouse events: the frequency, gain and phase
// of a filter, the time and value of a synthesised wave, the harmonic and amplitude of a spectrum
// line; nothing off the plot.

#include "canvas_user.h"
#include "support/test_tables.h"

#include <QListWidget>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using canvastest::CanvasUser;

const char* const kSampling = "Sampling frequency in Hz";
const char* const kCutoff = "Cutoff frequency in Hz [less than half the sampling freq.]";
const char* const kTaps = "The number of taps [500 max.]";
const char* const kPhase = "Plot the filter's phase response? [Y]es or [N]o";

// The numbers of a read-out as it reads, in the order they appear.
std::vector<double> numbersIn(const QString& richText)
{
    static const QRegularExpression number(QStringLiteral("-?[0-9]+(\\.[0-9]+)?(e[-+]?[0-9]+)?"));
    QTextDocument document;
    document.setHtml(richText);
    std::vector<double> numbers;
    for (auto match = number.globalMatch(document.toPlainText()); match.hasNext();)
        numbers.push_back(match.next().captured().toDouble());
    return numbers;
}

// The logical x the layer reads for the pixel under a logical x: the pixel's centre.
double readBackX(forms::Form* form, double x)
{
    const double pixel = std::floor(x * form->clientPixels().width() / 640);
    return (pixel + 0.5) * 640 / form->clientPixels().width();
}

class Readout : public CanvasUser { };

// H(f) = sum c(k) e^(-i 2 pi k f / fs) over the listed taps, tap 1 at time 0.
TEST_F(Readout, FilterScreenShowsFrequencyGainAndPhaseUnderThePointer)
{
    open("lowpass", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}});
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    forms::Form* form = window("Form9");
    movePointer(form, 244, 200);
    ASSERT_TRUE(readout(form)->isVisible());
    // f, |H|, phase, dB re 1 (the "1" read too), dB re the largest tap.
    const std::vector<double> shown = numbersIn(readout(form)->text());
    ASSERT_EQ(shown.size(), 6u) << readout(form)->text().toStdString();

    // 0 Hz at x = 10, fs/2 at x = 478 (dsp/fir_response.h).
    const double frequency = (readBackX(form, 244) - 10) / 468 * 500;
    std::complex<double> response;
    const auto* list = form->findChild<QListWidget*>(QStringLiteral("List1"));
    for (int k = 0; k < list->count(); ++k)
        response += list->item(k)->text().trimmed().toDouble()
            * std::polar(1.0, -2 * std::numbers::pi * k * frequency / 1000);
    double largest = 0;
    for (int k = 0; k < list->count(); ++k)
        largest = std::max(largest, list->item(k)->text().trimmed().toDouble());
    EXPECT_NEAR(shown[0], frequency, 0.005);
    EXPECT_NEAR(shown[1], std::abs(response), 1e-4 * std::abs(response));
    EXPECT_NEAR(shown[2], std::arg(response) * 180 / std::numbers::pi, 0.06);
    EXPECT_NEAR(shown[3], 20 * std::log10(std::abs(response)), 0.006);
    EXPECT_EQ(shown[4], 1);
    // The logarithmic trace's 0 dB is the largest tap, 1/3 here: the references 9.54 dB apart.
    EXPECT_NEAR(shown[5], 20 * std::log10(std::abs(response) / largest), 0.006);
    EXPECT_NEAR(shown[3] - shown[5], 20 * std::log10(1.0 / 3), 0.011);
}

// The square wave's series, (4 / pi) sum sin(n t) / n over odd n, at the time shown.
TEST_F(Readout, SynthesisScreenShowsTimeAndTheCurvesValue)
{
    open("square", {{"Number of Odd Harmonics", "3"}});
    ASSERT_TRUE(settles([&] { return shows("Form3"); }));
    forms::Form* form = window("Form3");
    movePointer(form, 47, 100); // t near 1: x = 10 + 37 t
    ASSERT_TRUE(readout(form)->isVisible());
    const std::vector<double> shown = numbersIn(readout(form)->text());
    ASSERT_EQ(shown.size(), 2u) << readout(form)->text().toStdString();
    const double time = (readBackX(form, 47) - 10) / 37;
    double value = 0;
    for (int n = 1; n <= 5; n += 2)
        value += 4 / std::numbers::pi * std::sin(n * time) / n;
    EXPECT_NEAR(shown[0], time, 6e-4);
    // Three decimals shown, and the straight line between points 0.02 apart.
    EXPECT_NEAR(shown[1], value, 3e-3);
}

// A square wave's nth harmonic has amplitude 4 / (n pi); the spectrum is modal, so the pointer
// moves there while the program waits in it.
TEST_F(Readout, SpectrumShowsTheHarmonicUnderThePointer)
{
    open("square", {{"Number of Odd Harmonics", "3"}});
    actions().when([&] { return shows("Form3"); },
                   [&] { clickButton(window("Form3"), "Command2"); });
    QString overLine;
    QString offLines;
    actions().when([&] { return shows("Form7"); },
                   [&] {
                       forms::Form* spectrum = window("Form7");
                       movePointer(spectrum, 60, 250); // harmonic 3 stands at x = 30 + 10 k
                       overLine =
                           readout(spectrum)->isVisible() ? readout(spectrum)->text() : QString();
                       movePointer(spectrum, 600, 250);
                       offLines =
                           readout(spectrum)->isVisible() ? readout(spectrum)->text() : QString();
                       clickButton(spectrum, "Command1");
                   });
    ASSERT_TRUE(settles([&] { return shows("Form3") && !window("Form7"); }));
    const std::vector<double> shown = numbersIn(overLine);
    ASSERT_EQ(shown.size(), 2u) << overLine.toStdString();
    EXPECT_EQ(shown[0], 3);
    EXPECT_NEAR(shown[1], 4 / (3 * std::numbers::pi), 1e-4);
    EXPECT_TRUE(offLines.isEmpty()) << offLines.toStdString();
}

// The full-wave rectified sine |sin(t / 2)| has harmonics 4 / (pi (4 n^2 - 1)); the screen draws
// the first line 10 / (3 pi) tall, so the read-out gives both there, and one number where the
// line is as tall as the amplitude.
TEST_F(Readout, SpectrumSaysWhereTheLineIsDrawnOtherThanTheAmplitude)
{
    open("rectified",
         {{"Choose one: [F]ull-wave or [H]alf-wave", "F"}, {"Number of Harmonics", "3"}});
    actions().when([&] { return shows("Form6"); },
                   [&] { clickButton(window("Form6"), "Command2"); });
    QString first;
    QString second;
    actions().when([&] { return shows("Form7"); },
                   [&] {
                       forms::Form* spectrum = window("Form7");
                       movePointer(spectrum, 50, 250); // harmonic k stands at x = 30 + 20 k
                       first =
                           readout(spectrum)->isVisible() ? readout(spectrum)->text() : QString();
                       movePointer(spectrum, 70, 250);
                       second =
                           readout(spectrum)->isVisible() ? readout(spectrum)->text() : QString();
                       clickButton(spectrum, "Command1");
                   });
    ASSERT_TRUE(settles([&] { return shows("Form6") && !window("Form7"); }));
    const std::vector<double> atFirst = numbersIn(first);
    ASSERT_EQ(atFirst.size(), 3u) << first.toStdString();
    EXPECT_EQ(atFirst[0], 1);
    EXPECT_NEAR(atFirst[1], 4 / (3 * std::numbers::pi), 1e-4);
    EXPECT_NEAR(atFirst[2], 10 / (3 * std::numbers::pi), 1e-4);
    const std::vector<double> atSecond = numbersIn(second);
    ASSERT_EQ(atSecond.size(), 2u) << second.toStdString();
    EXPECT_EQ(atSecond[0], 2);
    EXPECT_NEAR(atSecond[1], 4 / (15 * std::numbers::pi), 1e-4);
}

struct OffPlot {
    const char* name;
    double x;
    double y;
};

class ReadoutOffThePlot : public CanvasUser, public ::testing::WithParamInterface<OffPlot> { };

TEST_P(ReadoutOffThePlot, ShowsNothing)
{
    open("lowpass", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}});
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    forms::Form* form = window("Form9");
    movePointer(form, 244, 200);
    ASSERT_TRUE(readout(form)->isVisible());
    movePointer(form, GetParam().x, GetParam().y);
    EXPECT_FALSE(readout(form)->isVisible()) << readout(form)->text().toStdString();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Places, ReadoutOffThePlot,
                         ::testing::Values(OffPlot{"LeftOfZeroHz", 5, 200},
                                           OffPlot{"RightOfHalfTheRate", 490, 200},
                                           OffPlot{"BelowTheGraticule", 244, 430},
                                           OffPlot{"OverTheTapList", 560, 100}),
                         tables::rowName);
// clang-format on

} // namespace
