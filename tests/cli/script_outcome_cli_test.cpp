// What a scripted run leaves behind: the clean-up of an earlier snapshot touches only what this
// program wrote and never a file the run itself exported; a refused answer stops the script
// with the box's message; state.json stays valid UTF-8 however a long step is cut.

#include "cli_support.h"

#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace clitest;

std::string text(const QString& s) { return s.toStdString(); }

void writeInto(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct EarlierState {
    const char* name;
    const char* json; // the state.json found in the folder
    const char* file; // a picture beside it
    bool removed;
};

void PrintTo(const EarlierState& c, std::ostream* out) { *out << c.name; }

class EarlierStates : public ::testing::TestWithParam<EarlierState> { };

// The run draws a triangle (Form4), so it writes none of the files planted here.
TEST_P(EarlierStates, LoseOnlyThePicturesThisProgramListed)
{
    const EarlierState& c = GetParam();
    QTemporaryDir folder;
    writeInto(folder.filePath("state.json"), c.json);
    writeInto(folder.filePath(c.file), "the user's own file");
    const ProgramRun run =
        runDsplab(screenWith("triangle", {"3"}) << "--snapshot" << folder.path());
    ASSERT_EQ(run.exitCode, 0) << text(run.errors);
    EXPECT_EQ(QFile::exists(folder.filePath(c.file)), !c.removed);
    EXPECT_EQ(stateIn(folder.path()).value("writer").toString(), "dsplab");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Folders, EarlierStates,
    ::testing::Values(
        EarlierState{"AnotherProgramsList", R"({"pictures": ["photo.png"]})", "photo.png", false},
        EarlierState{"AnotherProgramsListOfOurNames", R"({"pictures": ["Form3.png"]})",
                     "Form3.png", false},
        EarlierState{"UnmarkedWindows", R"({"ended": false, "windows": [{"name": "Form3"}]})",
                     "Form3.png", false},
        EarlierState{"AnotherWriter", R"({"writer": "other", "pictures": ["Form3.png"]})",
                     "Form3.png", false},
        EarlierState{"OursListingIt", R"({"writer": "dsplab", "pictures": ["Form3.png"]})",
                     "Form3.png", true}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// An earlier lowpass snapshot listed Form9.png; this run exports a picture under that name,
// spelt another way, and leaves no Form9 window: the export stays.
TEST(EarlierState, NeverCostsAFileTheRunExported)
{
    QTemporaryDir folder;
    const ProgramRun first = runDsplab(screenWith("lowpass", {"1000", "150", "15", "N"})
                                       << "--snapshot" << folder.path());
    ASSERT_EQ(first.exitCode, 0) << text(first.errors);
    ASSERT_TRUE(QFile::exists(folder.filePath("Form9.png")));
    const QString exported = folder.path() + "/./Form9.png";
    const ProgramRun second = runDsplab(screenWith("square", {"3"})
                                        << "--export"
                                        << "picture" << exported << "--snapshot" << folder.path());
    ASSERT_EQ(second.exitCode, 0) << text(second.errors);
    ASSERT_TRUE(QFile::exists(folder.filePath("Form9.png"))) << "the export was removed";
    EXPECT_EQ(bytesOf(folder.filePath("Form9.png")), bytesOf(folder.filePath("Form3.canvas.png")));
    EXPECT_FALSE(QFile::exists(folder.filePath("Form9.canvas.png"))) << "stale, not exported";
}

// The snapshot's own picture of a window that is still open would land on the export's name.
TEST(EarlierState, SnapshotNeverReplacesAFileTheRunExported)
{
    QTemporaryDir folder;
    QTemporaryDir alone;
    const QString expected = alone.filePath("Form3.png");
    ASSERT_EQ(runDsplab(screenWith("square", {"3"}) << "--export"
                                                    << "picture" << expected)
                  .exitCode,
              0);
    const ProgramRun run =
        runDsplab(screenWith("square", {"3"})
                  << "--export"
                  << "picture" << folder.filePath("Form3.png") << "--snapshot" << folder.path());
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(text(run.errors).find("exported"), std::string::npos) << text(run.errors);
    EXPECT_EQ(bytesOf(folder.filePath("Form3.png")), bytesOf(expected))
        << "the export was replaced";
}

// 32768 is beyond the count the pulse screen takes; the script must not type 0.5 into that box.
TEST(RefusedAnswer, FailsTheStepWithTheBoxsMessage)
{
    QTemporaryDir folder;
    const ProgramRun run =
        runDsplab(screenWith("pulse", {"32768", "0.5"}) << "--snapshot" << folder.path());
    EXPECT_EQ(run.exitCode, 2);
    const QJsonObject state = stateIn(folder.path());
    const QString shown = state.value("openPrompt").toObject().value("refusal").toString();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(state.value("openPrompt").toObject().value("text").toString(), "32768");
    const QJsonObject failed = state.value("failedStep").toObject();
    EXPECT_EQ(failed.value("number").toInt(), 1);
    EXPECT_EQ(failed.value("step").toString(), "--answer \"32768\"");
    EXPECT_EQ(failed.value("refusal").toString(), shown);
    ASSERT_EQ(messageLines(run).size(), 1) << text(run.errors);
    EXPECT_TRUE(run.errors.contains(shown)) << text(run.errors);
}

struct LongStep {
    const char* name;
    QString answer;
    QString shown; // the answer as the failed step quotes it
};

void PrintTo(const LongStep& c, std::ostream* out) { *out << c.name; }

class LongSteps : public ::testing::TestWithParam<LongStep> { };

const QString k39(39, 'a');
const QString kEmoji = QString::fromUtf8("\xf0\x9f\x98\x80"); // two UTF-16 units
const QString kAcute = QString::fromUtf8("e\xcc\x81");        // e and a combining accent

// The main menu asks nothing, so an answer fails and the state quotes the step.
TEST_P(LongSteps, AreCutBetweenCharactersAndStateStaysUtf8)
{
    const LongStep& c = GetParam();
    QTemporaryDir folder;
    const ProgramRun run =
        runDsplab({"--screen", "menu", "--answer", c.answer, "--snapshot", folder.path()});
    EXPECT_EQ(run.exitCode, 2) << text(run.errors);
    const QByteArray json = bytesOf(folder.filePath("state.json"));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(json);
    EXPECT_FALSE(utf8.hasError()) << "state.json is not UTF-8";
    EXPECT_FALSE(decoded.contains(QChar::ReplacementCharacter));
    const QString expected =
        QStringLiteral("--answer \"%1... (%2 characters)\"").arg(c.shown).arg(c.answer.size());
    EXPECT_EQ(stateIn(folder.path()).value("failedStep").toObject().value("step").toString(),
              expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cuts, LongSteps,
    ::testing::Values(LongStep{"Ascii", k39 + "bcdef", k39 + "b"},
                      LongStep{"EmojiAcrossTheCut", k39 + kEmoji + "tail", k39},
                      LongStep{"AccentAfterTheCut", k39 + kAcute + "tail", k39},
                      LongStep{"EmojiBeforeTheCut", QString(38, 'a') + kEmoji + "tail",
                               QString(38, 'a') + kEmoji}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
