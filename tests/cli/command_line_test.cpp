// The command line as a user types it: captions as shown, clear errors for what cannot be meant,
// answers the question box cannot hold, and windows only where a display can show them.

#include "cli_support.h"
#include "support/test_tables.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using namespace clitest;

std::string text(const QString& s) { return s.toStdString(); }

QStringList windowNames(const QJsonObject& state)
{
    QStringList names;
    for (const QJsonValue& window : state.value("windows").toArray())
        names << window.toObject().value("name").toString();
    return names;
}

// A caption as written on the button, or with blanks at the ends or runs of blanks changed, finds
// the same button.
struct CaptionCase {
    const char* name;
    QStringList arguments;
    QStringList windows;      // open afterwards, bottom to top
    const char* openQuestion; // the question box open afterwards, if any
};

class CaptionsAsRead : public ::testing::TestWithParam<CaptionCase> { };

TEST_P(CaptionsAsRead, FindTheButton)
{
    const CaptionCase& c = GetParam();
    QTemporaryDir folder;
    const ProgramRun run = runDsplab(c.arguments + QStringList{"--snapshot", folder.path()});
    ASSERT_EQ(run.exitCode, 0) << text(run.errors);
    const QJsonObject state = stateIn(folder.path());
    EXPECT_EQ(windowNames(state), c.windows);
    EXPECT_EQ(state.value("openPrompt").toObject().value("title").toString(),
              QString::fromUtf8(c.openQuestion));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Click, CaptionsAsRead, ::testing::Values(
    CaptionCase{"filter_button_exactly_as_shown",
                {"--screen", "lowpass", "--answer", "1000", "--answer", "150",
                "--answer", "15", "--answer", "N", "--click", " Do Another"}, {"Form9"},
                "Sampling frequency in Hz"},
    CaptionCase{"filter_button_trimmed", {"--screen", "lowpass", "--answer", "1000", "--answer",
                                          "150",
                "--answer", "15", "--answer", "N", "--click", "Do Another"}, {"Form9"},
                "Sampling frequency in Hz"},
    CaptionCase{"menu_caption_as_shown", {"--screen", "menu", "--click",
                "  Lowpass Filter Design     (Blackman window)"}, {"Form9"},
                "Sampling frequency in Hz"},
    CaptionCase{"menu_caption_with_single_blanks", {"--screen", "menu", "--click",
                "Lowpass Filter Design (Blackman window)"}, {"Form9"}, "Sampling frequency in Hz"},
    CaptionCase{"menu_caption_with_other_runs_of_blanks", {"--screen", "menu", "--click",
                "Bandpass   Filter Design  (Blackman window) "}, {"Form10"},
                "Sampling frequency in Hz"},
    CaptionCase{"synthesis_button_with_blanks_around",
                {"--screen", "square", "--answer", "3", "--click",
                "  Main   Menu "}, {"Form2"}, ""}),
    tables::rowName);
// clang-format on

struct BadCommandLine {
    const char* name;
    QStringList arguments;
    const char* message;
};

class BadCommandLines : public ::testing::TestWithParam<BadCommandLine> { };

TEST_P(BadCommandLines, AreOneClearLineWithCodeTwo)
{
    const BadCommandLine& c = GetParam();
    QTemporaryDir place;
    QStringList arguments;
    for (const QString& argument : c.arguments)
        arguments << QString(argument).replace("PLACE", place.path());
    const ProgramRun run = runDsplab(arguments);
    EXPECT_EQ(run.exitCode, 2);
    ASSERT_EQ(messageLines(run).size(), 1) << text(run.errors);
    EXPECT_TRUE(run.errors.contains(c.message)) << text(run.errors);
    EXPECT_TRUE(entriesOf(place.path()).isEmpty()) << "nothing written";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Options, BadCommandLines, ::testing::Values(
    BadCommandLine{"empty_screen", {"--screen", "", "--snapshot", "PLACE/a"},
                   "--screen needs a screen name"},
    BadCommandLine{"blank_screen", {"--screen", "  ", "--snapshot", "PLACE/a"},
                   "--screen needs a screen name"},
    BadCommandLine{"unknown_screen", {"--screen", "nowhere", "--snapshot", "PLACE/a"},
                   "unknown screen nowhere"},
    BadCommandLine{"two_screens", {"--screen", "square", "--screen", "triangle"},
                   "--screen given more than once"},
    BadCommandLine{"two_snapshots", {"--snapshot", "PLACE/a", "--snapshot", "PLACE/b"},
                   "--snapshot given more than once"},
    BadCommandLine{"empty_snapshot", {"--snapshot", ""}, "--snapshot needs a folder name"},
    BadCommandLine{"missing_value", {"--answer"}, "--answer needs a value"},
    BadCommandLine{"unknown_option", {"--bogus"}, "unknown option --bogus"}),
    tables::rowName);
// clang-format on

// The question box's field holds 32767 characters; a longer answer is refused whole, with the
// state at that step written, rather than cut to what fits ("5", blanks, "x" would read as 5).
TEST(LongAnswers, AreRefusedNotCut)
{
    QTemporaryDir folder;
    const QString answer = "5" + QString(40000, ' ') + "x";
    const ProgramRun run =
        runDsplab({"--screen", "square", "--answer", answer, "--snapshot", folder.path()});
    EXPECT_EQ(run.exitCode, 2);
    ASSERT_EQ(messageLines(run).size(), 1) << text(run.errors.left(500));
    EXPECT_TRUE(run.errors.contains("40002 characters long")) << text(run.errors.left(500));
    EXPECT_TRUE(run.errors.contains("32767")) << text(run.errors.left(500));
    EXPECT_LT(run.errors.size(), 300) << "the answer is not repeated in full";
    const QJsonObject state = stateIn(folder.path());
    EXPECT_EQ(state.value("openPrompt").toObject().value("text").toString(), "3")
        << "nothing typed";
    EXPECT_EQ(state.value("failedStep").toObject().value("number").toInt(), 1);
}

TEST(LongAnswers, TheLongestTheFieldHoldsIsTyped)
{
    QTemporaryDir folder;
    const QString answer = QString(32766, ' ') + "5";
    const ProgramRun run =
        runDsplab({"--screen", "square", "--answer", answer, "--snapshot", folder.path()});
    ASSERT_EQ(run.exitCode, 0) << text(run.errors.left(500));
    const QJsonObject controls = stateIn(folder.path())
                                     .value("windows")
                                     .toArray()[0]
                                     .toObject()
                                     .value("controls")
                                     .toObject();
    EXPECT_EQ(controls.value("Label1").toString(), "Number of Odd Harmonics  =   5");
}

// Where no window can open: a snapshot run draws offscreen regardless, an interactive run says
// why in one line and ends with code 1, without waiting or crashing.
struct DisplayCase {
    const char* name;
    QStringList variables; // NAME=VALUE; a NAME alone removes the variable
    bool snapshot;
    int exitCode;
    const char* message;
};

class Displays : public ::testing::TestWithParam<DisplayCase> { };

TEST_P(Displays, SnapshotsNeedNoneAndWindowsSayWhy)
{
    const DisplayCase& c = GetParam();
    QTemporaryDir folder;
    QStringList arguments{"--screen", "square"};
    if (c.snapshot)
        arguments << "--answer"
                  << "3"
                  << "--snapshot" << folder.path();
    const ProgramRun run = runDsplab(arguments, [&](QProcessEnvironment& env) {
        for (const QString& variable : c.variables) {
            if (variable.contains('='))
                env.insert(variable.section('=', 0, 0), variable.section('=', 1));
            else
                env.remove(variable);
        }
    });
    ASSERT_TRUE(run.finished) << "the program waited";
    EXPECT_EQ(run.exitCode, c.exitCode) << text(run.errors);
    if (c.snapshot) {
        EXPECT_TRUE(QFile::exists(folder.filePath("Form3.png")));
        EXPECT_TRUE(run.errors.isEmpty()) << text(run.errors);
    } else {
        ASSERT_EQ(messageLines(run).size(), 1) << text(run.errors);
        EXPECT_TRUE(run.errors.contains(c.message)) << text(run.errors);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Platforms, Displays, ::testing::Values(
    DisplayCase{"x_display_that_does_not_exist", {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY",
                                                  "DISPLAY=:4711"}, false, 1,
                "the X display \":4711\" (DISPLAY) does not answer"},
    DisplayCase{"unknown_platform", {"QT_QPA_PLATFORM=bogus"}, false, 1,
                "Qt has no display platform \"bogus\""},
    DisplayCase{"no_display_at_all", {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"}, false, 1,
                "there is no display to open a window on"},
    DisplayCase{"offscreen_without_steps", {"QT_QPA_PLATFORM=offscreen"}, false, 1,
                "there is no display to answer on"},
    DisplayCase{"snapshot_with_a_dead_x_display", {"QT_QPA_PLATFORM", "DISPLAY=:4711"}, true, 0,
                ""},
    DisplayCase{"snapshot_with_an_unknown_platform", {"QT_QPA_PLATFORM=bogus"}, true, 0, ""},
    DisplayCase{"snapshot_without_a_display", {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"},
                true, 0, ""}),
    tables::rowName);
// clang-format on

TEST(Help, ListsEveryAliasTheProgramAccepts)
{
    const ProgramRun help = runDsplab({"--help"});
    ASSERT_EQ(help.exitCode, 0);
    const QString flat = help.output.simplified();
    const qsizetype at = flat.indexOf("or an alias (");
    ASSERT_GE(at, 0) << text(help.output);
    const QString list = flat.mid(at + 13).section(')', 0, 0);
    for (QString alias : list.split(',')) {
        alias = alias.trimmed();
        SCOPED_TRACE(text(alias));
        QTemporaryDir folder;
        EXPECT_EQ(runDsplab({"--screen", alias, "--snapshot", folder.path()}).exitCode, 0)
            << "listed but refused";
    }
}

} // namespace
