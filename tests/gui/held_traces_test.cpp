// Held traces compared with the drawing: their legend, which screens show them, how many, and
// what the read-out and the measurements box say of each. Worked with real mouse events.

#include "canvas_user.h"
#include "screens/canvas_tools.h"
#include "screens/held_traces.h"
#include "support/test_tables.h"

#include <QLineEdit>
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

using canvastest::Answers;
using canvastest::CanvasUser;
using namespace canvastest::questions;

class HeldTraces : public CanvasUser {
protected:
    // Picks an entry of the canvas menu once the window shows.
    void fromMenu(const char* form, const char* entry)
    {
        actions().when([this, form] { return shows(form); },
                       [this, form] { rightClick(window(form), 240, 200); });
        actions().when([this, form] { return canvasMenu(window(form)) != nullptr; },
                       [this, form, entry] { pick(canvasMenu(window(form)), entry); });
    }
    // Holds the drawing, then draws anew with the button and the answers.
    void holdAndDrawAgain(const char* form, const char* button, const Answers& again)
    {
        fromMenu(form, "hold");
        actions().when([this, form] { return shows(form); },
                       [this, form, button] { clickButton(window(form), button); });
        for (const auto& [title, text] : again)
            answer(title, text);
    }
    static std::vector<screens::LegendLine> legendOf(forms::Form* form)
    {
        return form->findChild<screens::CanvasTools*>(QStringLiteral("canvasTools"))->legend();
    }
    static QStringList legendTexts(forms::Form* form)
    {
        QStringList texts;
        for (const screens::LegendLine& line : legendOf(form))
            texts << line.text;
        return texts;
    }
    // Pixels of the window in the colour that are not in its canvas image.
    static int shownOver(forms::Form* form, const QColor& colour)
    {
        const QImage shown = form->shownPicture();
        const QImage drawing = form->canvasImage().convertToFormat(QImage::Format_RGB32);
        int count = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                count +=
                    shown.pixel(x, y) != drawing.pixel(x, y) && QColor(shown.pixel(x, y)) == colour;
        return count;
    }
    static QString plain(const QString& html)
    {
        QTextDocument document;
        document.setHtml(html);
        return document.toPlainText();
    }
};

const QColor kFirstHeld(0x00, 0x72, 0xB2);

struct LegendCase {
    const char* name;
    const char* screen;
    Answers first;
    const char* again;
    Answers second;
    const char* form;
    QStringList legend;
};

class Legend : public HeldTraces, public ::testing::WithParamInterface<LegendCase> { };

TEST_P(Legend, NamesTheDrawingInBlackThenTheHeldDesignInItsColour)
{
    const LegendCase& c = GetParam();
    open(c.screen, c.first);
    holdAndDrawAgain(c.form, c.again, c.second);
    ASSERT_TRUE(settles([&] { return shows(c.form); }));
    forms::Form* form = window(c.form);
    EXPECT_EQ(legendTexts(form), c.legend);
    const auto lines = legendOf(form);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].colour, QColor(Qt::black));
    EXPECT_EQ(lines[1].colour, kFirstHeld);
    auto* shown = form->findChild<QLabel*>(QStringLiteral("canvasLegend"));
    ASSERT_TRUE(shown->isVisible());
    EXPECT_EQ(plain(shown->text()), QStringLiteral("\u25A0 ") + c.legend.join(u"\n\u25A0 "));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Screens, Legend,
    ::testing::Values(
        LegendCase{"BlackmanLowpass", "lowpass",
                   {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}},
                   "Command1", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "51"}, {kPhase, "N"}},
                   "Form9", {"Blackman lowpass, fs 1000 Hz, fc 150 Hz, 51 taps",
                             "Blackman lowpass, fs 1000 Hz, fc 150 Hz, 15 taps"}},
        LegendCase{"RectangularLowpass", "lowpass-rect",
                   {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}}, "Command1",
                   {{kSampling, "1000"}, {kCutoff, "250"}, {kTaps, "31"}}, "Form8",
                   {"rectangular lowpass, fs 1000 Hz, fc 250 Hz, 31 taps",
                    "rectangular lowpass, fs 1000 Hz, fc 150 Hz, 15 taps"}},
        LegendCase{"Bandpass", "bandpass",
                   {{kSampling, "1000"}, {kPass, "100"}, {kCentre, "250"}, {kTaps, "21"},
                    {kPhase, "N"}},
                   "Command1",
                   {{kSampling, "1000"}, {kPass, "50"}, {kCentre, "250"}, {kTaps, "21"},
                    {kPhase, "N"}},
                   "Form10", {"Blackman bandpass, fs 1000 Hz, pass 50 Hz wide at 250 Hz, 21 taps",
                              "Blackman bandpass, fs 1000 Hz, pass 100 Hz wide at 250 Hz, 21 taps"}},
        LegendCase{"Square", "square", {{kOdd, "3"}}, "Command3", {{kOdd, "10"}}, "Form3",
                   {"square wave, 10 harmonics", "square wave, 3 harmonics"}}),
    tables::rowName);
// clang-format on

// Rectangular against Blackman on one plot where both sample at the same rate.
struct CrossCase {
    const char* name;
    const char* blackmanRate;
    bool shown;
};

class CrossScreen : public HeldTraces, public ::testing::WithParamInterface<CrossCase> { };

TEST_P(CrossScreen, AFilterHeldOnOneScreenShowsOnAnotherOfTheSameRate)
{
    const CrossCase& c = GetParam();
    open("lowpass-rect", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}});
    fromMenu("Form8", "hold");
    actions().when([&] { return shows("Form8"); },
                   [&] { runtime().Load(QStringLiteral("Form9")); });
    answer(kSampling, c.blackmanRate);
    answer(kCutoff, "150");
    answer(kTaps, "15");
    answer(kPhase, "N");
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    forms::Form* form = window("Form9");
    const QString rate = QString::fromLatin1(c.blackmanRate);
    const QStringList legend{"Blackman lowpass, fs " + rate + " Hz, fc 150 Hz, 15 taps",
                             "rectangular lowpass, fs 1000 Hz, fc 150 Hz, 15 taps"};
    EXPECT_EQ(legendTexts(form), c.shown ? legend : QStringList());
    if (c.shown)
        waitUntil([&] { return shownOver(form, kFirstHeld) > 100; });
    EXPECT_EQ(shownOver(form, kFirstHeld) > 100, c.shown);
}

INSTANTIATE_TEST_SUITE_P(Rates, CrossScreen,
                         ::testing::Values(CrossCase{"SameRate", "1000", true},
                                           CrossCase{"OtherRate", "2000", false}),
                         tables::rowName);

// A held phase trace keeps its +-180 labels under a design drawn without one; they go with it.
TEST_F(HeldTraces, HeldPhaseTraceKeepsItsLabels)
{
    open("lowpass", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "Y"}});
    holdAndDrawAgain("Form9", "Command1",
                     {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "31"}, {kPhase, "N"}});
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    const auto label = [this](const char* name) {
        return window("Form9")->findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    };
    EXPECT_EQ(QStringList({label("Text1"), label("Text3"), label("Text2")}),
              (QStringList{"+180", "0", "-180"}));
    fromMenu("Form9", "clearHeld");
    ASSERT_TRUE(settles());
    EXPECT_EQ(QStringList({label("Text1"), label("Text3"), label("Text2")}),
              (QStringList{"", "", ""}));
}

// A fifth hold lets the oldest go; the colours stay with their traces.
TEST_F(HeldTraces, FourAtMostTheOldestDropped)
{
    open("square", {{kOdd, "3"}});
    for (const char* count : {"5", "7", "9", "11", "13"})
        holdAndDrawAgain("Form3", "Command3", {{kOdd, count}});
    ASSERT_TRUE(settles([&] { return shows("Form3"); }));
    EXPECT_EQ(legendTexts(window("Form3")),
              (QStringList{"square wave, 13 harmonics", "square wave, 5 harmonics",
                           "square wave, 7 harmonics", "square wave, 9 harmonics",
                           "square wave, 11 harmonics"}));
    const auto lines = legendOf(window("Form3"));
    std::vector<QRgb> colours;
    for (const auto& line : lines)
        colours.push_back(line.colour.rgb());
    std::sort(colours.begin(), colours.end());
    EXPECT_EQ(std::unique(colours.begin(), colours.end()), colours.end()) << "a colour twice";
    // The box gives each held trace's figures in a column of its own, headed by its colour; the
    // newest took the colour the dropped one left.
    fromMenu("Form3", "showMeasurements");
    ASSERT_TRUE(settles([&] { return note(window("Form3"))->isVisible(); }));
    const QString box = plain(note(window("Form3"))->text());
    EXPECT_TRUE(box.contains(QStringLiteral("this trace\nvermilion\ngreen\npurple\nblue\n")))
        << box.toStdString();
    fromMenu("Form3", "clearHeld");
    ASSERT_TRUE(settles());
    EXPECT_TRUE(legendTexts(window("Form3")).isEmpty());
}

// The read-out reads both traces at the pointer: H(f) = sum c(k) e^(-i 2 pi k f / fs) over
// each design's listed taps, in dB against 1 and against its largest tap, and puts a dot on the
// held logarithmic trace where it reads it: 3 units a dB below y = 89.
TEST_F(HeldTraces, ReadOutGivesEveryTraceAtThePointer)
{
    const Answers first{{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}};
    std::vector<std::vector<double>> taps(2);
    const auto listed = [this](std::vector<double>& into) {
        const auto* list = window("Form9")->findChild<QListWidget*>(QStringLiteral("List1"));
        for (int k = 0; k < list->count(); ++k)
            into.push_back(list->item(k)->text().trimmed().toDouble());
    };
    open("lowpass", first);
    actions().when([&] { return shows("Form9"); }, [&] { listed(taps[1]); });
    holdAndDrawAgain("Form9", "Command1",
                     {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "51"}, {kPhase, "N"}});
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    forms::Form* form = window("Form9");
    listed(taps[0]);
    movePointer(form, 200, 200);
    ASSERT_TRUE(readout(form)->isVisible());
    const QStringList lines = plain(readout(form)->text()).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 7) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(lines[1], QStringLiteral("\u25A0 this trace"));
    EXPECT_EQ(lines[4], QStringLiteral("\u25A0 Blackman lowpass, fs 1000 Hz, fc 150 Hz, 15 taps"));
    const double pixel = std::floor(200.0 * form->clientPixels().width() / 640);
    const double x = (pixel + 0.5) * 640 / form->clientPixels().width();
    const double frequency = (x - 10) / 468 * 500;
    EXPECT_EQ(lines[0], QStringLiteral("f %1 Hz").arg(frequency, 0, 'f', 2));
    static const QRegularExpression values(
        QStringLiteral("\\|H\\| (\\S+)   phase (\\S+)°\n(\\S+) dB re 1, (\\S+) dB re largest tap"));
    double heldLevel = 0;
    for (int trace = 0; trace < 2; ++trace) {
        std::complex<double> h;
        for (std::size_t k = 0; k < taps[trace].size(); ++k)
            h += taps[trace][k] * std::polar(1.0, -2 * std::numbers::pi * k * frequency / 1000);
        const double largest = *std::max_element(taps[trace].begin(), taps[trace].end());
        const auto match = values.match(lines[2 + 3 * trace] + "\n" + lines[3 + 3 * trace]);
        ASSERT_TRUE(match.hasMatch()) << lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_NEAR(match.captured(1).toDouble(), std::abs(h), 1e-4 * std::abs(h));
        EXPECT_NEAR(match.captured(2).toDouble(), std::arg(h) * 180 / std::numbers::pi, 0.06);
        EXPECT_NEAR(match.captured(3).toDouble(), 20 * std::log10(std::abs(h)), 0.006);
        EXPECT_NEAR(match.captured(4).toDouble(), 20 * std::log10(std::abs(h) / largest), 0.006);
        heldLevel = 20 * std::log10(std::abs(h) / largest);
    }
    const QPoint dot = clientPoint(form, x, 89 - 3 * heldLevel);
    waitUntil([&] { return QColor(form->shownPicture().pixel(dot)) == kFirstHeld; });
    EXPECT_EQ(QColor(form->shownPicture().pixel(dot)), kFirstHeld);
}

} // namespace
