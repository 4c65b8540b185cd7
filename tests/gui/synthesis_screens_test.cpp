// The triangle, sawtooth, rectified sine and pulse screens: how each screens its answers, what
// its captions and the shared values then hold, and where its curve runs.

#include "gui_support.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <QMap>

#include <optional>
#include <string>
#include <vector>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using namespace guitest;

const QColor kBlack(0, 0, 0);

QStringList argumentsOf(const std::vector<const char*>& arguments)
{
    QStringList list;
    for (const char* argument : arguments)
        list << QString::fromUtf8(argument);
    return list;
}

// Black pixels of a canvas right of the column that logical `x` is drawn in.
int blackPixelsRightOf(const program::SessionResult& result, const QString& form, double x)
{
    const QImage image = result.snapshot.canvas(form);
    const std::optional<QPoint> edge = canvasPixel(result, form, x, 0);
    if (!edge)
        return -1;
    const int firstColumn = edge->x() + 1;
    int count = 0;
    for (int row = 0; row < image.height(); ++row)
        for (int column = firstColumn; column < image.width(); ++column)
            count += QColor(image.pixel(column, row)) == kBlack;
    return count;
}

QString windowTitle(const QString& form)
{
    static const QMap<QString, QString> titles{{"Form4", "Fourier triangle generator"},
                                               {"Form5", "Fourier sawtooth generator"},
                                               {"Form6", "Fourier rectified sine generator"},
                                               {"Form13", "Fourier Pulse Generator"}};
    return titles.value(form);
}

// ---- Screening of the answers ------------------------------------------------------------------

struct ScreeningCase {
    const char* name;
    std::vector<const char*> arguments;
    bool ends;
    const char* form;
    const char* label1;
    const char* label2;        // nullptr: the screen has no second caption
    int harmonics;             // shared count afterwards
    const char* dutyCycle;     // nullptr: not checked
    const char* rectifyChoice; // nullptr: not checked
    bool drawsCurve;
};

class Screening : public ::testing::TestWithParam<ScreeningCase> { };

TEST_P(Screening, CaptionsSharedValuesAndCurve)
{
    const ScreeningCase& c = GetParam();
    const auto result = run(argumentsOf(c.arguments));
    ASSERT_EQ(result.exitCode, 0) << result.failure.toStdString();
    EXPECT_EQ(ended(result), c.ends);
    EXPECT_EQ(shared(result).value("Harmonics").toInt(), c.harmonics);
    if (c.dutyCycle) {
        EXPECT_EQ(shared(result).value("DutyCycle").toString(), c.dutyCycle);
    }
    if (c.rectifyChoice) {
        EXPECT_EQ(shared(result).value("RectifyChoice").toString(), c.rectifyChoice);
    }
    if (c.ends) {
        EXPECT_TRUE(openWindows(result).isEmpty());
        return;
    }
    EXPECT_EQ(openWindows(result).last(), c.form);
    EXPECT_EQ(window(result, c.form).value("caption").toString(), windowTitle(c.form));
    EXPECT_EQ(control(result, c.form, "Label1"), c.label1);
    if (c.label2) {
        EXPECT_EQ(control(result, c.form, "Label2"), c.label2);
    }
    EXPECT_EQ(countPixels(result, c.form, kBlack) > 0, c.drawsCurve);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Triangle, Screening, ::testing::Values(
    ScreeningCase{"Three", {"--screen", "triangle", "--answer", "3"}, false, "Form4",
                  "Number of Odd Harmonics  =   3", nullptr, 3, nullptr, nullptr, true},
    // 0 is not screened out: the zero line is drawn.
    ScreeningCase{"Zero", {"--screen", "triangle", "--answer", "0"}, false, "Form4",
                  "Number of Odd Harmonics  =   0", nullptr, 0, nullptr, nullptr, true},
    ScreeningCase{"WholePart", {"--screen", "triangle", "--answer", "2.9"}, false, "Form4",
                  "Number of Odd Harmonics  =   2", nullptr, 2, nullptr, nullptr, true},
    ScreeningCase{"CancelKeepsCount",
                  {"--screen", "triangle", "--answer", "5", "--click", "Do Another", "--cancel"},
                  false,
                  "Form4", " ", nullptr, 5, nullptr, nullptr, false},
    ScreeningCase{"Negative", {"--screen", "triangle", "--answer", "-1"}, true, "Form4", "",
                  nullptr, 0,
                  nullptr, nullptr, false}),
    tables::rowName);
// clang-format on

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sawtooth, Screening, ::testing::Values(
    ScreeningCase{"Three", {"--screen", "sawtooth", "--answer", "3"}, false, "Form5",
                  "Number of Harmonics  =   3", nullptr, 3, nullptr, nullptr, true},
    ScreeningCase{"Zero", {"--screen", "sawtooth", "--answer", "0"}, false, "Form5",
                  "Number of Harmonics  =   0", nullptr, 0, nullptr, nullptr, true},
    ScreeningCase{"Cancel", {"--screen", "sawtooth", "--cancel"}, false, "Form5", " ", nullptr, 0,
                  nullptr,
                  nullptr, false},
    ScreeningCase{"Negative", {"--screen", "sawtooth", "--answer", "-1"}, true, "Form5", "",
                  nullptr, 0,
                  nullptr, nullptr, false}),
    tables::rowName);
// clang-format on

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rectified, Screening, ::testing::Values(
    ScreeningCase{"Defaults", {"--screen", "rectified", "--answer", "F", "--answer", "3"}, false,
                  "Form6",
                  "Number of Harmonics  =   3", nullptr, 3, nullptr, "F", true},
    // Full-wave draws its dc level for 0 harmonics; half-wave stops and keeps the old count.
    ScreeningCase{"FullWaveZero", {"--screen", "rectified", "--answer", "f", "--answer", "0"},
                  false, "Form6",
                  "Number of Harmonics  =   0", nullptr, 0, nullptr, "f", true},
    ScreeningCase{"HalfWaveZero",
                  {"--screen", "rectified", "--answer", "F", "--answer", "4", "--click",
                   "Do Another",
                   "--answer", "h", "--answer", "0"},
                  false, "Form6", " ", nullptr, 4, nullptr, "h", false},
    ScreeningCase{"HalfWaveBelowOne", {"--screen", "rectified", "--answer", "H", "--answer", "0.5"},
                  false,
                  "Form6", "Number of Harmonics  =   0", nullptr, 0, nullptr, "H", true},
    // The choice is stored before the count is asked, whatever becomes of the count.
    ScreeningCase{"CancelledCount", {"--screen", "rectified", "--answer", "x", "--cancel"}, false,
                  "Form6", " ",
                  nullptr, 0, nullptr, "x", false},
    ScreeningCase{"CancelledChoiceIsHalfWave", {"--screen", "rectified", "--cancel", "--answer",
                                                "2"}, false,
                  "Form6", "Number of Harmonics  =   2", nullptr, 2, nullptr, "", true},
    ScreeningCase{"Negative", {"--screen", "rectified", "--answer", "F", "--answer", "-1"}, true,
                  "Form6", "",
                  nullptr, 0, nullptr, "F", false}),
    tables::rowName);
// clang-format on

// clang-format off
INSTANTIATE_TEST_SUITE_P(Pulse, Screening, ::testing::Values(
    ScreeningCase{"Defaults", {"--screen", "pulse", "--answer", "13", "--answer", "0.2"}, false,
                  "Form13",
                  "Number of Harmonics  =   13", "The duty cycle  =  0.2", 13, "0.2", nullptr,
                  true},
    // The shared count takes the nearest whole number (halves to even), the caption the whole part.
    ScreeningCase{"HalfUp", {"--screen", "pulse", "--answer", "13.5", "--answer", ".25"}, false,
                  "Form13",
                  "Number of Harmonics  =   13", "The duty cycle  =  .25", 14, ".25", nullptr,
                  true},
    ScreeningCase{"HalfDown", {"--screen", "pulse", "--answer", "12.5", "--answer", "0.2"}, false,
                  "Form13",
                  "Number of Harmonics  =   12", "The duty cycle  =  0.2", 12, "0.2", nullptr,
                  true},
    ScreeningCase{"BelowOne", {"--screen", "pulse", "--answer", "0.6", "--answer", "0.5"}, false,
                  "Form13",
                  "Number of Harmonics  =   0", "The duty cycle  =  0.5", 1, "0.5", nullptr, true},
    ScreeningCase{"DutyZero", {"--screen", "pulse", "--answer", "13", "--answer", "0"}, false,
                  "Form13",
                  "Number of Harmonics  =   13", "The duty cycle  =  0", 13, "0", nullptr, true},
    ScreeningCase{"DutyOne", {"--screen", "pulse", "--answer", "13", "--answer", "1"}, false,
                  "Form13",
                  "Number of Harmonics  =   13", "The duty cycle  =  1", 13, "1", nullptr, true},
    // Both answers are stored before any test, so a screen that stops still updates them.
    ScreeningCase{"ZeroStops", {"--screen", "pulse", "--answer", "0", "--answer", "0.3"}, false,
                  "Form13", " ",
                  " ", 0, "0.3", nullptr, false},
    ScreeningCase{"CancelledCountKeepsOldCount",
                  {"--screen", "pulse", "--answer", "7", "--answer", "0.2", "--click", "Do Another",
                   "--cancel",
                   "--answer", "0.4"},
                  false, "Form13", " ", " ", 7, "0.4", nullptr, false},
    ScreeningCase{"CancelledDuty", {"--screen", "pulse", "--answer", "13", "--cancel"}, false,
                  "Form13", " ",
                  " ", 13, "", nullptr, false},
    ScreeningCase{"DutyAboveOne", {"--screen", "pulse", "--answer", "9", "--answer", "1.5"}, false,
                  "Form13", " ",
                  " ", 9, "1.5", nullptr, false},
    ScreeningCase{"NegativeDuty", {"--screen", "pulse", "--answer", "13", "--answer", "-0.1"}, true,
                  "Form13",
                  "", nullptr, 13, "-0.1", nullptr, false},
    // The duty cycle is still asked before the negative count ends the program.
    ScreeningCase{"NegativeCount", {"--screen", "pulse", "--answer", "-1", "--answer", "0.2"}, true,
                  "Form13",
                  "", nullptr, -1, "0.2", nullptr, false}),
    tables::rowName);
// clang-format on

// ---- Where the curves run ----------------------------------------------------------------------

struct CurveCase {
    const char* name;
    std::vector<const char*> arguments;
    const char* form;
    std::vector<std::pair<double, double>> onCurve;  // logical points the black curve passes
    std::vector<std::pair<double, double>> offCurve; // logical points it keeps away from
};

class Curves : public ::testing::TestWithParam<CurveCase> { };

TEST_P(Curves, RunThroughTheirPointsAndStopAtTheRightEdge)
{
    const CurveCase& c = GetParam();
    const auto result = run(argumentsOf(c.arguments));
    ASSERT_EQ(result.exitCode, 0) << result.failure.toStdString();
    for (const auto& [x, y] : c.onCurve)
        EXPECT_TRUE(canvasHasNear(result, c.form, x, y, kBlack, 1)) << "(" << x << ", " << y << ")";
    for (const auto& [x, y] : c.offCurve)
        EXPECT_FALSE(canvasHasNear(result, c.form, x, y, kBlack, 1))
            << "(" << x << ", " << y << ")";
    EXPECT_EQ(blackPixelsRightOf(result, c.form, 478), 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Screens, Curves, ::testing::Values(
    // Every cosine is 1 at t = 0: the peak 196 - (504 / pi^2)(1 + 1/9 + 1/25) = 137.2; the trough
    // at t = pi (x = 205.9) mirrors it.
    CurveCase{"Triangle", {"--screen", "triangle", "--answer", "3"}, "Form4",
              {{8, 137.2}, {205.9, 254.8}}, {{8, 130}, {205.9, 262}}},
    CurveCase{"TriangleZeroIsTheZeroLine", {"--screen", "triangle", "--answer", "0"}, "Form4",
              {{100, 196}, {470, 196}}, {{100, 190}}},
    CurveCase{"TriangleManyHarmonics", {"--screen", "triangle", "--answer", "5000"}, "Form4",
              {{8, 133}}, {}},
    // One sine of amplitude 2A/pi = 40.1: its crest at t = pi/2, x = 107.
    CurveCase{"SawtoothSingleSine", {"--screen", "sawtooth", "--answer", "1"}, "Form5",
              {{8, 196}, {107, 155.9}}, {{107, 150}}},
    CurveCase{"SawtoothManyHarmonics", {"--screen", "sawtooth", "--answer", "3000"}, "Form5", {},
              {}},
    // Full wave, 0 harmonics: the first segment up from (8, 196), then the dc level 2A/pi.
    CurveCase{"FullWaveDcLevel", {"--screen", "rectified", "--answer", "F", "--answer", "0"},
              "Form6",
              {{8, 175}, {240, 155.89}, {470, 155.89}}, {{240, 150}}},
    // Half wave, 1 harmonic: from the peak (8, 133) down to dc + fundamental, 196 - 51.55.
    CurveCase{"HalfWaveFundamental", {"--screen", "rectified", "--answer", "h", "--answer", "1"},
              "Form6",
              {{8, 134}, {8, 144.45}}, {}},
    // Defaults: the first segment runs up from the zero line to 196 - 130.69 = 65.31, the level
    // the curve comes back to one period later (t = 2 pi, x = 128.38).
    CurveCase{"Pulse", {"--screen", "pulse", "--answer", "13", "--answer", "0.2"}, "Form13",
              {{9, 67}, {9, 190}, {128.38, 65.31}}, {{9, 60}}},
    CurveCase{"PulseDutyZeroIsFlat", {"--screen", "pulse", "--answer", "13", "--answer", "0"},
              "Form13",
              {{100, 196}, {470, 196}}, {{100, 190}, {100, 70}}},
    CurveCase{"PulseDutyOneIsHigh", {"--screen", "pulse", "--answer", "13", "--answer", "1"},
              "Form13",
              {{100, 70}, {470, 70}}, {{100, 196}}}),
    tables::rowName);
// clang-format on

// ---- Reaching the screens ----------------------------------------------------------------------

struct MenuCase {
    const char* button;
    const char* form;
    std::vector<const char*> answers;
    QStringList questions; // titles of the question boxes, in order
};

class MenuButtons : public ::testing::TestWithParam<MenuCase> { };

// "Do Another" passes through the main menu, which stays behind the fresh screen and its question.
TEST_P(MenuButtons, OpenTheScreenAndDoAnotherAsksAgain)
{
    const MenuCase& c = GetParam();
    QStringList arguments{"--click", "Continue", "--click", c.button};
    for (const char* answer : c.answers)
        arguments << "--answer" << answer;
    arguments << "--click"
              << "Do Another";
    const auto result = run(arguments);
    ASSERT_EQ(result.exitCode, 0) << result.failure.toStdString();
    EXPECT_EQ(openWindows(result), (QStringList{"Form2", c.form}));
    QStringList titles;
    for (const QJsonValue& prompt : result.state().value("prompts").toArray()) {
        titles << prompt.toObject().value("title").toString();
        EXPECT_EQ(prompt.toObject().value("prompt").toString(), " ");
    }
    EXPECT_EQ(titles, c.questions + QStringList{c.questions.first()});
    EXPECT_EQ(result.state().value("openPrompt").toObject().value("title").toString(),
              c.questions.first());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Synthesis, MenuButtons, ::testing::Values(
    MenuCase{"Triangle Generator", "Form4", {"3"}, {"Number of Odd Harmonics"}},
    MenuCase{"Sawtooth Generator", "Form5", {"3"}, {"Number of Harmonics"}},
    MenuCase{"Rectified Sine Generator", "Form6", {"F", "3"},
             {"Choose one: [F]ull-wave or [H]alf-wave", "Number of Harmonics"}},
    MenuCase{"Pulse Generator", "Form13", {"13", "0.2"},
             {"Number of Harmonics", "Duty Cycle [0 to 1]"}}),
    [](const auto& info) { return testName(QString::fromLatin1(info.param.button)); });
// clang-format on

TEST(SynthesisScreens, MainMenuReturnsToTheMenu)
{
    const auto result =
        run({"--screen", "pulse", "--answer", "13", "--answer", "0.2", "--click", "Main Menu"});
    EXPECT_EQ(openWindows(result), QStringList{"Form2"});
}

TEST(SynthesisScreens, CountPromptRefusesCountsBeyondTheSharedRange)
{
    // Whole part for the triangle, nearest whole number for the pulse screen.
    const auto triangle = run({"--screen", "triangle", "--answer", "32767.9"});
    EXPECT_EQ(control(triangle, "Form4", "Label1"), "Number of Odd Harmonics  =   32767");
    const auto refused = run({"--screen", "triangle", "--answer", "32768"});
    EXPECT_FALSE(
        refused.state().value("openPrompt").toObject().value("refusal").toString().isEmpty());
    const auto pulse = run({"--screen", "pulse", "--answer", "32767.5"});
    EXPECT_EQ(pulse.state().value("openPrompt").toObject().value("title").toString(),
              "Number of Harmonics");
    EXPECT_FALSE(
        pulse.state().value("openPrompt").toObject().value("refusal").toString().isEmpty());
    const auto duty = run({"--screen", "pulse", "--answer", "13", "--answer", "half"});
    EXPECT_EQ(duty.state().value("openPrompt").toObject().value("title").toString(),
              "Duty Cycle [0 to 1]");
}

} // namespace
