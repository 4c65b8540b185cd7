// --explore NAME=VALUE steps: refused, naming the step, where the Explore panel would not offer
// the value or the screen has no such control; a series of them draws what the questions draw.

#include "cli_support.h"

#include <QImage>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace clitest;

std::string text(const QString& s) { return s.toStdString(); }

const QStringList kLowpass{"1000", "150", "15", "N"};

struct Refusal {
    const char* name;
    const char* screen;
    QStringList answers;
    const char* step;
    const char* message; // part of the one line the program writes
};

void PrintTo(const Refusal& c, std::ostream* out) { *out << c.name; }

class ExploreRefusals : public ::testing::TestWithParam<Refusal> { };

TEST_P(ExploreRefusals, FailTheStepWithExitTwo)
{
    const Refusal& c = GetParam();
    QTemporaryDir folder;
    const int step = static_cast<int>(c.answers.size()) + 1;
    const ProgramRun run = runDsplab(screenWith(c.screen, c.answers)
                                     << "--explore" << c.step << "--snapshot" << folder.path());
    EXPECT_EQ(run.exitCode, 2);
    ASSERT_EQ(messageLines(run).size(), 1) << text(run.errors);
    EXPECT_TRUE(run.errors.contains(
        QStringLiteral("step %1 (--explore \"%2\")").arg(step).arg(QString::fromLatin1(c.step))))
        << text(run.errors);
    EXPECT_TRUE(run.errors.contains(QString::fromLatin1(c.message))) << text(run.errors);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Steps, ExploreRefusals,
    ::testing::Values(
        Refusal{"TapsOnASynthesisScreen", "square", {"3"}, "taps=21", "no control \"taps\""},
        Refusal{"DutyOffThePulseScreen", "sawtooth", {"3"}, "duty=0.5", "no control \"duty\""},
        Refusal{"CentreOnALowpass", "lowpass", kLowpass, "centre=100", "no control \"centre\""},
        Refusal{"PhaseOnTheRectangularScreen", "lowpass-rect", {"1000", "150", "15"}, "phase=Y",
                "no control \"phase\""},
        Refusal{"NoEqualsSign", "lowpass", kLowpass, "taps", "NAME=VALUE"},
        Refusal{"EmptyName", "lowpass", kLowpass, "=5", "NAME=VALUE"},
        // The coefficient table holds 500 taps.
        Refusal{"TooManyTaps", "lowpass", kLowpass, "taps=501", "taps takes 1 to 500"},
        Refusal{"NoTaps", "lowpass", kLowpass, "taps=0", "taps takes 1 to 500"},
        Refusal{"FractionOfATap", "lowpass", kLowpass, "taps=20.5", "taps takes 1 to 500"},
        // Half of 1000 Hz is 500 Hz; the cutoff must stay below it.
        Refusal{"CutoffAtHalfFs", "lowpass", kLowpass, "cutoff=500", "0.01 to 499.99"},
        Refusal{"FinerThanTheSteps", "lowpass", kLowpass, "cutoff=150.001", "steps of 0.01"},
        Refusal{"NotANumber", "lowpass", kLowpass, "fs=fast", "fs takes"},
        Refusal{"DutyAboveOne", "pulse", {"13", "0.2"}, "duty=1.5", "duty takes 0 to 1"},
        Refusal{"NegativeCount", "triangle", {"3"}, "harmonics=-1", "0 to 32767"},
        // The square screen stops at 0 harmonics.
        Refusal{"ZeroOnTheSquareScreen", "square", {"3"}, "harmonics=0", "1 to 32767"},
        Refusal{"RectifyNeitherForH", "rectified", {"F", "3"}, "rectify=X", "F or H"},
        Refusal{"PhaseWord", "bandpass", {"1000", "100", "250", "21", "N"}, "phase=yes",
                "N or Y"},
        Refusal{"CheckNotZeroOrOne", "lowpass-rect", {"1000", "150", "15"}, "plot-taps=2",
                "0 or 1"},
        Refusal{"ScreenWithoutAPanel", "menu", {}, "harmonics=3", "Form2 has no Explore panel"},
        Refusal{"QuestionBoxOpen", "lowpass", {"1000"}, "taps=21", "no window takes input"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// A series of steps ends with the canvas and captions of the questions answered with its values.
TEST(ExploreSeries, DrawsWhatTheQuestionsDraw)
{
    QTemporaryDir explored;
    QTemporaryDir asked;
    const ProgramRun series = runDsplab(screenWith("bandpass", {"1000", "100", "250", "21", "N"})
                                        << "--explore"
                                        << "taps=41"
                                        << "--explore"
                                        << "centre=300.5"
                                        << "--explore"
                                        << "phase=Y"
                                        << "--explore"
                                        << "fs=800"
                                        << "--snapshot" << explored.path());
    ASSERT_EQ(series.exitCode, 0) << text(series.errors);
    const ProgramRun direct = runDsplab(screenWith("bandpass", {"800", "100", "300.5", "41", "Y"})
                                        << "--snapshot" << asked.path());
    ASSERT_EQ(direct.exitCode, 0) << text(direct.errors);
    const auto window = [](const QString& folder) {
        for (const auto& value : stateIn(folder).value("windows").toArray())
            if (value.toObject().value("name").toString() == "Form10")
                return value.toObject();
        return QJsonObject();
    };
    EXPECT_EQ(window(explored.path()).value("controls"), window(asked.path()).value("controls"));
    EXPECT_EQ(QImage(explored.filePath("Form10.canvas.png")),
              QImage(asked.filePath("Form10.canvas.png")));
}

} // namespace
