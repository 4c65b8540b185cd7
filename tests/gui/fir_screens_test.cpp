#include "gui_support.h"

#include "forms/form.h"
#include "support/test_tables.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using namespace guitest;

const QColor kBlack(0, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kLightRed(255, 0, 0);

// A filter screen opened directly and answered in order; a null answer presses Cancel.
program::SessionResult design(const char* screen, const std::vector<const char*>& answers,
                              const QStringList& after = {})
{
    QStringList arguments{"--screen", screen};
    for (const char* answer : answers)
        arguments << (answer ? QStringList{"--answer", answer} : QStringList{"--cancel"});
    return run(arguments + after);
}

double numberIn(const QString& line) { return line.trimmed().toDouble(); }

// The nine significant digits the listed taps are quoted to.
QString nineDigits(double value) { return QString::number(value, 'g', 9); }

TEST(BlackmanLowpass, DefaultDesignListsTheQuotedTaps)
{
    const auto result = design("lowpass", {"1000", "150", "15", "N"});
    ASSERT_FALSE(ended(result));
    const QStringList lines = listLines(result, "Form9", "List1");
    const std::vector<double> quoted{0.000849240612, -2.47194233e-8, -0.0114726614, -0.0264145596,
                                     1.66970161e-7,  0.109803601,    0.260614393,   0.333333333,
                                     0.260614842,    0.109803988,    1.6697108e-7,  -0.0264147657,
                                     -0.0114727848,  -2.47198055e-8, 0.000849264707};
    ASSERT_EQ(lines.size(), 15);
    for (int slot = 0; slot < 15; ++slot)
        EXPECT_EQ(nineDigits(numberIn(lines[slot])), nineDigits(quoted[slot]))
            << "slot " << slot + 1;
    // The caption number format: a blank before a value that is not negative, no zero before
    // the point, exponent form below 0.0001.
    EXPECT_TRUE(lines[0].startsWith(" .00084924061")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("-2.4719423") && lines[1].endsWith("E-08"))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("-.0114726")) << lines[2].toStdString();
    EXPECT_EQ(control(result, "Form9", "Label4"), "        Coefficients");
}

TEST(BlackmanLowpass, CaptionsShowTheAnswersAsTypedAndFrequencyLabelsTheComputedBand)
{
    const auto result = design("lowpass", {"1e3", "150.0", "15", ""});
    EXPECT_EQ(window(result, "Form9").value("caption").toString(),
              "FIR low-pass filter design [Blackman window]");
    EXPECT_EQ(control(result, "Form9", "Label7"), "The sampling frequency is 1e3 Hz");
    EXPECT_EQ(control(result, "Form9", "Label8"), "The cutoff frequency is 150.0 Hz");
    EXPECT_EQ(control(result, "Form9", "Label9"), "The number of taps is 15");
    EXPECT_EQ(control(result, "Form9", "Label3"), " 500 Hz");
    EXPECT_EQ(control(result, "Form9", "Label5"), " 250 Hz");
    EXPECT_EQ(control(result, "Form9", "Label6"), "0 Hz");
    EXPECT_EQ(window(result, "Form9").value("mousePointer").toInt(), 0);
}

TEST(BlackmanLowpass, MagnitudeTracesStartAtUnityGain)
{
    const auto result = design("lowpass", {"1000", "150", "15", "N"});
    // A gain of 1.0001 at 0 Hz: the linear trace at y = 100, the logarithmic one 0.4 dB above
    // the largest tap's level y = 89.
    EXPECT_TRUE(canvasHasNear(result, "Form9", 10, 100, kLightRed));
    EXPECT_TRUE(canvasHasNear(result, "Form9", 10, 60.4, kBlack));
    // Deep in the stopband the linear trace lies on the zero line y = 380.
    EXPECT_TRUE(canvasHasNear(result, "Form9", 400, 380, kLightRed));
}

struct EndCase {
    const char* screen;
    std::vector<const char*> answers; // nullptr: Cancel
    bool ends;
};

void PrintTo(const EndCase& row, std::ostream* out)
{
    *out << row.screen;
    for (const char* answer : row.answers)
        *out << " [" << (answer ? answer : "Cancel") << "]";
}

// The screen and its answers, as in lowpass_1000_499point9_15_N.
std::string endCaseName(const testing::TestParamInfo<EndCase>& info)
{
    QStringList words{QString::fromLatin1(info.param.screen)};
    for (const char* answer : info.param.answers)
        words << (answer ? QString::fromLatin1(answer) : QStringLiteral("Cancel"));
    const QString text = words.join(' ');
    return testName(text);
}

class EndingAnswers : public testing::TestWithParam<EndCase> { };

TEST_P(EndingAnswers, EndTheProgramOrDraw)
{
    const EndCase& row = GetParam();
    const auto result = design(row.screen, row.answers);
    ASSERT_EQ(result.exitCode, 0) << result.failure.toStdString();
    EXPECT_EQ(ended(result), row.ends);
    EXPECT_EQ(openWindows(result).isEmpty(), row.ends);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Lowpass, EndingAnswers,
    testing::Values(EndCase{"lowpass", {"1000", "500", "15", "N"}, true},
                    EndCase{"lowpass", {"1000", "499.9", "15", "N"}, false},
                    EndCase{"lowpass", {"1000", "150", "500", "N"}, false},
                    EndCase{"lowpass", {"1000", "150", "501", "N"}, true},
                    EndCase{"lowpass", {"0", "150", "15", "N"}, true},
                    EndCase{"lowpass", {"1000", "-150", "15", "N"}, true},
                    EndCase{"lowpass", {"1000", "150", "0", "N"}, true},
                    EndCase{"lowpass", {nullptr, "150", "15", "N"}, true},
                    EndCase{"lowpass", {"1000", nullptr, "15", "N"}, true},
                    EndCase{"lowpass", {"1000", "150", nullptr, "N"}, true},
                    EndCase{"lowpass", {"1000", "150", "15", nullptr}, false},
                    EndCase{"lowpass-rect", {"1000", "500", "15"}, true},
                    EndCase{"lowpass-rect", {"1000", "150", nullptr}, true},
                    EndCase{"highpass", {"1000", "500", "15", "N"}, true},
                    EndCase{"highpass", {"1000", "499.9", "15", "N"}, false}),
    endCaseName);
// clang-format on

// Band-pass and band-stop: the bandwidth, then the centre frequency, each tested for an answer,
// for a value above 0 and against half the sampling frequency.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Bands, EndingAnswers,
    testing::Values(EndCase{"bandpass", {"1000", "500", "250", "21", "N"}, true},
                    EndCase{"bandpass", {"1000", "0", "250", "21", "N"}, true},
                    EndCase{"bandpass", {"1000", "100", "500", "21", "N"}, true},
                    EndCase{"bandpass", {"1000", "100", "499.9", "21", "N"}, false},
                    EndCase{"bandpass", {"1000", "100", "-250", "21", "N"}, true},
                    EndCase{"bandpass", {"1000", "100", nullptr, "21", "N"}, true},
                    EndCase{"bandpass", {"1000", "100", "250", "21", nullptr}, false},
                    EndCase{"bandpass", {"1000", "100", "480", "21", "N"}, false},
                    EndCase{"bandstop", {"1000", "500", "250", "29", "N"}, true},
                    EndCase{"bandstop", {"1000", "200", "500", "29", "N"}, true},
                    EndCase{"bandstop", {"1000", "200", "0", "29", "N"}, true},
                    EndCase{"bandstop", {"1000", "200", "499.9", "29", "N"}, false},
                    EndCase{"bandstop", {"1000", "200", "50", "29", "N"}, false},
                    EndCase{"bandstop", {"1000", "200", "250", "501", "N"}, true}),
    endCaseName);
// clang-format on

struct PhaseCase {
    const char* name;
    const char* choice;
    bool drawn;
};

class PhaseChoice : public testing::TestWithParam<PhaseCase> { };

TEST_P(PhaseChoice, OnlyExactlyYDrawsThePhaseTrace)
{
    const PhaseCase& row = GetParam();
    const auto result = design("lowpass", {"1000", "150", "15", row.choice});
    EXPECT_EQ(countPixels(result, "Form9", kGreen) > 0, row.drawn);
    EXPECT_EQ(control(result, "Form9", "Text1"), row.drawn ? "+180" : "");
    EXPECT_EQ(control(result, "Form9", "Text2"), row.drawn ? "-180" : "");
    EXPECT_EQ(control(result, "Form9", "Text3"), row.drawn ? "0" : "");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Choices, PhaseChoice,
                         testing::Values(PhaseCase{"LowerY", "y", true},
                                         PhaseCase{"UpperY", "Y", true},
                                         PhaseCase{"Yes", "yes", false},
                                         PhaseCase{"BlankBeforeY", " Y", false},
                                         PhaseCase{"LowerN", "n", false}, PhaseCase{"Empty", "",
                                                                                    false}),
                         tables::rowName);
// clang-format on

TEST(BlackmanLowpass, PhaseTraceStartsOnTheZeroLineAndWrapsNearX77)
{
    const auto result = design("lowpass", {"1000", "150", "15", "y"});
    EXPECT_TRUE(canvasHasNear(result, "Form9", 10, 196, kGreen));
    // The first wrap from -180 to +180 degrees, between u = 1.07 and 1.08, is a near-vertical
    // stroke from y = 337 up to y = 56.
    EXPECT_TRUE(canvasHasNear(result, "Form9", 77.2, 200, kGreen, 2));
    EXPECT_TRUE(canvasHasNear(result, "Form9", 77.2, 100, kGreen, 2));
}

struct DefaultDesign {
    const char* screen;
    const char* form;
    std::vector<const char*> answers;
    int lines;
    int quotedSlot;
    double quotedTap;
    double x, linearY, logY; // one point of each magnitude trace
    const char* captionLabel;
    const char* caption;
};

void PrintTo(const DefaultDesign& row, std::ostream* out) { *out << row.form; }

class DefaultDesigns : public testing::TestWithParam<DefaultDesign> { };

TEST_P(DefaultDesigns, ListTracesAndCaptions)
{
    const DefaultDesign& row = GetParam();
    const auto designed = design(row.screen, row.answers);
    const QStringList lines = listLines(designed, row.form, "List1");
    ASSERT_EQ(lines.size(), row.lines);
    EXPECT_NEAR(numberIn(lines[row.quotedSlot - 1]), row.quotedTap, 1e-5 * std::abs(row.quotedTap));
    EXPECT_TRUE(canvasHasNear(designed, row.form, row.x, row.linearY, kLightRed, 2));
    EXPECT_TRUE(canvasHasNear(designed, row.form, row.x, row.logY, kBlack, 2));
    EXPECT_EQ(control(designed, row.form, row.captionLabel), row.caption);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Screens, DefaultDesigns,
    testing::Values(
        // The lowpass mirrored about fs/4: unity gain at the last point, x = 478.
        DefaultDesign{"highpass", "Form11", {"1000", "350", "15", "N"}, 15, 8, 0.333333333, 477.9,
                      100, 60.4,
                      "Label28", "The cutoff frequency is 350 Hz"},
        // Gain 0.4685 at 250 Hz (u = 5.25), drawn 600 units per unit gain.
        DefaultDesign{"bandpass", "Form10", {"1000", "100", "250", "21", "N"}, 21, 13, 0.110376,
                      244, 98.9, 51.3,
                      "Label20", "The center frequency is 250 Hz"},
        // Unity gain at 0 Hz drawn 300 units up; the notch at 250 Hz near the floor.
        DefaultDesign{"bandstop", "Form12", {"1000", "200", "250", "29", "N"}, 29, 15, 0.6, 10, 80,
                      75.7,
                      "Label38", "The stop bandwidth is 200 Hz"}),
    tables::nameBy(&DefaultDesign::screen));
// clang-format on

TEST(AllNegativeTaps, LogTraceIsMeasuredAgainstTheLargestTapSize)
{
    // One tap of about -1: a flat gain of 1, drawn at the reference level y = 89; the sweep
    // points of one tap lie 9.36 units apart, u = 0.25 at x = 244.
    const auto highpass = design("highpass", {"1000", "350", "1", "y"});
    EXPECT_FALSE(ended(highpass));
    EXPECT_EQ(listLines(highpass, "Form11", "List1").size(), 1);
    EXPECT_TRUE(canvasHasNear(highpass, "Form11", 244, 89, kBlack));
    EXPECT_TRUE(canvasHasNear(highpass, "Form11", 244, 100, kLightRed));
    // Every tap negative, the largest in size -0.54346 in the centre slot.
    const auto bandpass = design("bandpass", {"1000", "450", "200", "7", "y"});
    EXPECT_FALSE(ended(bandpass));
    EXPECT_GT(countPixels(bandpass, "Form10", kBlack), 100);
    EXPECT_EQ(highpass.nonFiniteCoordinates, 0);
    EXPECT_EQ(bandpass.nonFiniteCoordinates, 0);
}

TEST(RectangularLowpass, FirstLoadDrawsOnlyTheLinearTrace)
{
    const auto result = design("lowpass-rect", {"1000", "150", "15"});
    EXPECT_EQ(window(result, "Form8").value("caption").toString(),
              "FIR low-pass filter design [rectangular window]");
    EXPECT_EQ(listLines(result, "Form8", "List1").size(), 15);
    EXPECT_EQ(control(result, "Form8", "Label1"), "");
    EXPECT_EQ(control(result, "Form8", "Label2"), "");
    EXPECT_EQ(countPixels(result, "Form8", kBlack), 0);
    EXPECT_EQ(countPixels(result, "Form8", kGreen), 0);
    // The truncated sinc ripples: 0.538 at u = 2.5 and 0.076 at the last point.
    EXPECT_TRUE(canvasHasNear(result, "Form8", 166, 229, kLightRed, 2));
    EXPECT_TRUE(canvasHasNear(result, "Form8", 477.9, 359, kLightRed, 2));
}

TEST(RectangularLowpass, CheckBoxesPlotTapsAndPhaseOnDoAnother)
{
    const auto result =
        design("lowpass-rect", {"1000", "150", "15"},
               {"--toggle", "Plot Coefficients", "--toggle", "Plot Phase Response", "--click",
                "Do Another", "--answer", "1000", "--answer", "150", "--answer", "15"});
    EXPECT_EQ(openWindows(result), QStringList{"Form8"});
    EXPECT_EQ(controls(result, "Form8").value("Check1").toInt(), 1);
    EXPECT_EQ(controls(result, "Form8").value("Check2").toInt(), 1);
    EXPECT_EQ(control(result, "Form8", "Label1"), "0");
    EXPECT_EQ(control(result, "Form8", "Label2"), " .333333333333333");
    // The taps 29.25 units apart, the centre one 185 units above the zero line.
    EXPECT_TRUE(canvasHasNear(result, "Form8", 244, 11, kBlack));
    EXPECT_TRUE(canvasHasNear(result, "Form8", 214.75, 41.9, kBlack));
    EXPECT_TRUE(canvasHasNear(result, "Form8", 127, 239.1, kBlack));
    EXPECT_TRUE(
        canvasHasNear(result, "Form8", 39.25, 196 - 185 * 0.0580528476 / 0.333333333, kBlack));
    EXPECT_GT(countPixels(result, "Form8", kGreen), 0);
    EXPECT_EQ(control(result, "Form8", "Text1"), "+180");
    EXPECT_EQ(control(result, "Form8", "Text2"), "-180");
    EXPECT_EQ(listLines(result, "Form8", "List1").size(), 15);
}

TEST(RectangularLowpass, EvenTapCountCentresTheTapPlotToo)
{
    const auto result = design("lowpass-rect", {"1000", "150", "15"},
                               {"--toggle", "Plot Coefficients", "--click", "Do Another",
                                "--answer", "1000", "--answer", "150", "--answer", "16"});
    // M / N = 5 / 16 at the top of the scale, the centre slot 8 at x = 244.
    EXPECT_EQ(control(result, "Form8", "Label2"), " .3125");
    EXPECT_TRUE(canvasHasNear(result, "Form8", 244, 11, kBlack));
    EXPECT_EQ(countPixels(result, "Form8", kGreen), 0);
}

TEST(RectangularLowpass, ListShowsEachSincValueComputedAfresh)
{
    // Slots 1 and 11 of this design: the sinc value D reads -.0610040496866513, while the tap
    // stored for the response, G D / G, ends in ...512.
    const auto result = design("lowpass-rect", {"1000", "100", "12"});
    const QStringList lines = listLines(result, "Form8", "List1");
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[0], "-.0610040496866513");
    EXPECT_EQ(lines[10], "-.0610040496866513");
}

// The rectangular screen's zero mark, and the number of lines in its list, each time the mark
// is painted under the hourglass.
class HourglassSights : public QObject {
public:
    struct Sight {
        QString zeroMark;
        int lines;
        bool operator==(const Sight&) const = default;
        friend void PrintTo(const Sight& sight, std::ostream* out)
        {
            *out << '"' << sight.zeroMark.toStdString() << "\" over " << sight.lines << " lines";
        }
    };
    std::vector<Sight> sights;

    bool eventFilter(QObject* object, QEvent* event) override
    {
        auto* mark = event->type() == QEvent::Paint ? qobject_cast<QLabel*>(object) : nullptr;
        if (mark && mark->objectName() == "Label1" && mark->window()->objectName() == "Form8"
            && mark->window()->cursor().shape() == Qt::WaitCursor) {
            const auto* list = mark->window()->findChild<QListWidget*>("List1");
            sights.push_back({mark->text(), list->count()});
        }
        return false;
    }
};

TEST(RectangularLowpass, DoAnotherShowsTheZeroMarkWithTheNewCaptions)
{
    HourglassSights watch;
    qApp->installEventFilter(&watch);
    design("lowpass-rect", {"1000", "150", "15"},
           {"--toggle", "Plot Coefficients", "--click", "Do Another", "--answer", "1000",
            "--answer", "150", "--answer", "16"});
    qApp->removeEventFilter(&watch);
    // The first refresh of each design shows its captions, the mark as the box stands, and an
    // emptied list.
    ASSERT_FALSE(watch.sights.empty());
    EXPECT_EQ(watch.sights.front(), (HourglassSights::Sight{"", 0}));
    const auto again =
        std::find(watch.sights.begin(), watch.sights.end(), HourglassSights::Sight{"0", 0});
    EXPECT_NE(again, watch.sights.end()) << testing::PrintToString(watch.sights);
}

TEST(FilterNavigation, MainMenuDoAnotherAndCloseBox)
{
    auto result = design("bandstop", {"1000", "200", "250", "29", "N"}, {"--click", "Main Menu"});
    EXPECT_EQ(openWindows(result), QStringList{"Form2"});

    // A reloaded filter screen is the only window: it has no unload handler to bring the menu.
    result = design("highpass", {"1000", "350", "15", "N"},
                    {"--click", "Do Another", "--answer", "2000", "--answer", "350", "--answer",
                     "15", "--answer", "N"});
    EXPECT_EQ(openWindows(result), QStringList{"Form11"});
    EXPECT_EQ(control(result, "Form11", "Label27"), "The sampling frequency is 2000 Hz");
    EXPECT_EQ(control(result, "Form11", "Label3"), " 1000 Hz");

    result = design("lowpass", {"1000", "150", "15", "N"}, {"--close"});
    EXPECT_TRUE(ended(result));

    result = run({"--click", "Continue", "--click", "Bandpass Filter Design    (Blackman window)",
                  "--answer", "1000", "--answer", "100", "--answer", "250", "--answer", "21",
                  "--answer", "N"});
    EXPECT_EQ(openWindows(result), QStringList{"Form10"});
}

struct AboutCase {
    const char* screen;
    const char* form;
    std::vector<const char*> answers;
    const char* box;
    int taps;
};

void PrintTo(const AboutCase& row, std::ostream* out) { *out << row.form; }

class HelpAbout : public testing::TestWithParam<AboutCase> { };

TEST_P(HelpAbout, OpensTheScreensExplanationBoxOverTheDesign)
{
    const AboutCase& row = GetParam();
    const auto result = design(row.screen, row.answers, {"--menu", "Help/About"});
    ASSERT_EQ(result.exitCode, 0) << result.failure.toStdString();
    EXPECT_EQ(openWindows(result), (QStringList{row.form, row.box}));
    EXPECT_TRUE(window(result, row.box).value("modal").toBool());
    EXPECT_EQ(listLines(result, row.form, "List1").size(), row.taps);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Screens, HelpAbout,
    testing::Values(AboutCase{"lowpass-rect", "Form8", {"1000", "150", "15"}, "frmAbout2", 15},
                    AboutCase{"lowpass", "Form9", {"1000", "150", "15", "N"}, "frmAbout", 15},
                    AboutCase{"bandpass", "Form10", {"1000", "100", "250", "21", "N"}, "frmAbout3",
                              21},
                    AboutCase{"highpass", "Form11", {"1000", "350", "15", "N"}, "frmAbout4", 15},
                    AboutCase{"bandstop", "Form12", {"1000", "200", "250", "29", "N"}, "frmAbout5",
                              29}),
    [](const auto& info) { return testName(QString::fromLatin1(info.param.screen)); });
// clang-format on

} // namespace
