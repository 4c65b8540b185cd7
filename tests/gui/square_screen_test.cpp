#include "gui_support.h"

#include <gtest/gtest.h>

namespace {

using namespace guitest;

const QColor kBlack(0, 0, 0);
const QColor kCyan(0, 128, 128);
const QColor kLightBlue(0, 0, 255);
const QColor kLightRed(255, 0, 0);
const QColor kWhite(255, 255, 255);

struct SquareCase {
    const char* answer;
    const char* countCaption; // Label1
    const char* riseCaption;  // Label2
    int harmonics;            // shared count afterwards
    double upperMarker;       // 0: no markers
    double lowerMarker;
};

class SquareAnswers : public ::testing::TestWithParam<SquareCase> { };

TEST_P(SquareAnswers, CaptionsMarkersAndSharedCount)
{
    const SquareCase& c = GetParam();
    const auto result = run({"--screen", "square", "--answer", c.answer});
    ASSERT_EQ(result.exitCode, 0) << result.failure.toStdString();
    EXPECT_EQ(openWindows(result), QStringList{"Form3"});
    EXPECT_EQ(control(result, "Form3", "Label1"), c.countCaption);
    EXPECT_EQ(control(result, "Form3", "Label2"), c.riseCaption);
    EXPECT_EQ(shared(result).value("Harmonics").toInt(), c.harmonics);
    if (c.upperMarker > 0) {
        // The vertical marker lines run from each level down to y = 350.
        EXPECT_TRUE(canvasHasNear(result, "Form3", c.upperMarker, 300, kLightRed, 2));
        EXPECT_TRUE(canvasHasNear(result, "Form3", c.lowerMarker, 300, kLightRed, 2));
    } else {
        EXPECT_EQ(countPixels(result, "Form3", kLightRed), 0);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Answers, SquareAnswers, ::testing::Values(
    SquareCase{"3", "Number of Odd Harmonics  =   3", "Risetime  =  .35 Divisions", 3, 252.5, 232.4},
    SquareCase{"2", "Number of Odd Harmonics  =   2", "Risetime  =  .5833 Divisions", 2, 257.5, 227.5},
    SquareCase{"10", "Number of Odd Harmonics  =   10", "Risetime  =  .0921 Divisions", 10, 245.5, 239.5},
    SquareCase{"10000", "Number of Odd Harmonics  =   10000", "Risetime  =  0 Divisions", 10000, 242.5, 242.5},
    SquareCase{"1", "Number of Odd Harmonics  =   1", " ", 1, 0, 0},
    SquareCase{"0", " ", " ", 0, 0, 0},
    // The plot takes the whole part, the shared count the nearest whole number.
    SquareCase{"2.7", "Number of Odd Harmonics  =   2", "Risetime  =  .5833 Divisions", 3, 257.5, 227.5},
    // Below one harmonic the curve is the zero line: the level scans end at the canvas edge.
    SquareCase{"0.5", "Number of Odd Harmonics  =   0", " ", 0, 0, 0}),
    [](const auto& info) { return "Answer_" + testName(QString::fromLatin1(info.param.answer)); });
// clang-format on

TEST(SquareScreen, GraticuleFrameIsHeavyCyanAndInnerLinesThinLightBlue)
{
    const auto result = run({"--screen", "square", "--answer", "3"});
    const QImage canvas = result.snapshot.canvas("Form3");
    // The left frame line x = 8 is 3 pixels wide; the inner line x = 55 one pixel.
    const std::optional<QPoint> frame = canvasPixel(result, "Form3", 8, 30);
    const std::optional<QPoint> inner = canvasPixel(result, "Form3", 55, 30);
    ASSERT_TRUE(frame && inner);
    int cyanColumns = 0;
    for (int dx = -3; dx <= 3; ++dx)
        cyanColumns += QColor(canvas.pixel(*frame + QPoint(dx, 0))) == kCyan;
    EXPECT_EQ(cyanColumns, 3);
    EXPECT_EQ(QColor(canvas.pixel(*inner)), kLightBlue);
    EXPECT_EQ(QColor(canvas.pixel(*inner + QPoint(1, 0))), kWhite);
    EXPECT_EQ(canvasAt(result, "Form3", 30, 384), kCyan);
    EXPECT_EQ(canvasAt(result, "Form3", 30, 102), kLightBlue);
}

TEST(SquareScreen, CurveIsBlackAndStartsOnTheZeroLine)
{
    const auto result = run({"--screen", "square", "--answer", "1"});
    // A single sine of amplitude 4 x 63 / pi: its crest near t = pi/2 (x = 68.1) at y = 115.8.
    EXPECT_TRUE(canvasHasNear(result, "Form3", 68.1, 115.8, kBlack, 2));
    EXPECT_FALSE(canvasHasNear(result, "Form3", 68.1, 105, kBlack, 2));
}

TEST(SquareScreen, EmptyAnswerLeavesGraticuleAndBlankCaptions)
{
    const auto result = run({"--screen", "square", "--cancel"});
    EXPECT_EQ(control(result, "Form3", "Label1"), " ");
    EXPECT_EQ(countPixels(result, "Form3", kBlack), 0);
    EXPECT_EQ(shared(result).value("Harmonics").toInt(), 0);
}

TEST(SquareScreen, NegativeAnswerEndsTheProgram)
{
    const auto result = run({"--screen", "square", "--answer", "-1"});
    EXPECT_TRUE(ended(result));
    EXPECT_TRUE(openWindows(result).isEmpty());
}

TEST(SquareScreen, PromptRefusesTextAndTooManyHarmonicsAndStaysOpen)
{
    for (const char* answer : {"abc", "1,5", "32767.5", "1e9"}) {
        const auto result = run({"--screen", "square", "--answer", answer});
        const QJsonObject prompt = result.state().value("openPrompt").toObject();
        EXPECT_EQ(prompt.value("title").toString(), "Number of Odd Harmonics") << answer;
        EXPECT_EQ(prompt.value("text").toString(), answer);
        EXPECT_FALSE(prompt.value("refusal").toString().isEmpty()) << answer;
    }
    // The box stays open; a script stops at the refusal rather than typing its next answer
    // into the same box, and says what the box said.
    const auto result = run({"--screen", "square", "--answer", "abc", "--answer", "2"});
    EXPECT_EQ(result.exitCode, 2);
    const QJsonObject failed = result.state().value("failedStep").toObject();
    EXPECT_EQ(failed.value("number").toInt(), 1);
    const QString refusal =
        result.state().value("openPrompt").toObject().value("refusal").toString();
    EXPECT_EQ(failed.value("refusal").toString(), refusal);
    EXPECT_TRUE(failed.value("reason").toString().contains(refusal));
    EXPECT_TRUE(result.failure.contains(refusal)) << result.failure.toStdString();
    EXPECT_NE(control(result, "Form3", "Label1"), "Number of Odd Harmonics  =   2");
}

TEST(Navigation, StartMenuSquareAndBack)
{
    auto result = run({"--click", "Continue"});
    EXPECT_EQ(openWindows(result), QStringList{"Form2"});

    result = run({"--click", "Continue", "--click", "Square Generator", "--answer", "3"});
    EXPECT_EQ(openWindows(result), QStringList{"Form3"});

    result = run({"--click", "Continue", "--click", "Square Generator", "--answer", "3", "--click",
                  "Main Menu"});
    EXPECT_EQ(openWindows(result), QStringList{"Form2"});

    // "Do Another" passes through the main menu, which stays open behind the fresh screen.
    result = run({"--click", "Continue", "--click", "Square Generator", "--answer", "3", "--click",
                  "Do Another", "--answer", "2"});
    EXPECT_EQ(openWindows(result), (QStringList{"Form2", "Form3"}));
    EXPECT_EQ(control(result, "Form3", "Label1"), "Number of Odd Harmonics  =   2");

    result = run({"--click", "Continue", "--menu", "File/Exit"});
    EXPECT_TRUE(ended(result));
}

TEST(Navigation, ClosingTheSquareScreenReturnsToTheMenu)
{
    const auto result = run({"--screen", "square", "--answer", "3", "--close"});
    EXPECT_EQ(openWindows(result), QStringList{"Form2"});
}

TEST(Navigation, ClosingTheLastWindowEndsTheProgram)
{
    const auto result = run({"--screen", "menu", "--close"});
    EXPECT_TRUE(ended(result));
}

TEST(StartScreen, CaptionNoticeAndGreyCanvas)
{
    const auto result = run({});
    ASSERT_EQ(openWindows(result), QStringList{"Form1"});
    const QString caption = window(result, "Form1").value("caption").toString();
    EXPECT_TRUE(caption.startsWith(" Quorvel Applications" + QString(39, ' ')));
    EXPECT_GT(caption.size(), 21 + 39);
    EXPECT_FALSE(control(result, "Form1", "Label1").isEmpty());
    EXPECT_EQ(control(result, "Form1", "Label2"), "");
    EXPECT_EQ(canvasAt(result, "Form1", 300, 150), QColor(192, 192, 192));
}

TEST(MainMenu, TenButtonsWithTheirCaptions)
{
    const auto result = run({"--screen", "menu"});
    const QJsonObject menu = controls(result, "Form2");
    EXPECT_EQ(menu.value("Label1").toString(), "Select Operation");
    EXPECT_EQ(menu.value("Command2").toString(), "Square Generator");
    EXPECT_EQ(menu.value("Command1").toString(), "  Lowpass Filter Design    (rectangular window)");
    EXPECT_EQ(menu.value("Command7").toString(), " Bandpass Filter Design    (Blackman window)");
    EXPECT_EQ(window(result, "Form2").value("scale").toArray()[1].toDouble(), 350);
}

TEST(Driver, StepThatCannotBeCarriedOutNamesTheStep)
{
    const auto result = run({"--screen", "menu", "--answer", "3"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.failure.contains("step 1")) << result.failure.toStdString();
}

} // namespace
