// Every question of every registered screen against the answers that break number handling:
// each must either get the screen's own behaviour (the program ends, the screen stops or it
// draws) or a clear refusal in the question box, which then stays open with the typed text and
// a one-line reason; never a crash, a hang or a coordinate that is not a number on the canvas.

#include "gui_support.h"

#include "../support/session_player.h"
#include "forms/form.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using namespace guitest;

// Stopped: the screen waits with nothing drawn (its caption blank, its list empty); Drew: it
// waits with its curve or design drawn.
enum Outcome : unsigned { Refused = 1, Ended = 2, Stopped = 4, Drew = 8, Settled = Stopped | Drew };

// What a question asks for decides what a bad answer to it may lead to.
enum class Role { Count, Duty, Choice, SamplingRate, BandEdge, Taps };

struct Question {
    const char* title;
    const char* defaultAnswer;
    Role role;
};

struct ScreenQuestions {
    const char* screen;
    std::vector<Question> questions;
};

const Question kSampling{"Sampling frequency in Hz", "1000", Role::SamplingRate};
const Question kPhase{"Plot the filter's phase response? [Y]es or [N]o", "N", Role::Choice};
const Question kCentre{"Center frequency in Hz", "250", Role::BandEdge};

Question taps(const char* defaultAnswer)
{
    return {"The number of taps [500 max.]", defaultAnswer, Role::Taps};
}
Question cutoff(const char* defaultAnswer)
{
    return {"Cutoff frequency in Hz [less than half the sampling freq.]", defaultAnswer,
            Role::BandEdge};
}

// The questions of each screen in the order it asks them, with their default answers.
const std::vector<ScreenQuestions>& questionTable()
{
    // clang-format off
    static const std::vector<ScreenQuestions> table{
        {"Form3", {{"Number of Odd Harmonics", "3", Role::Count}}},
        {"Form4", {{"Number of Odd Harmonics", "3", Role::Count}}},
        {"Form5", {{"Number of Harmonics", "3", Role::Count}}},
        {"Form6", {{"Choose one: [F]ull-wave or [H]alf-wave", "F", Role::Choice},
                   {"Number of Harmonics", "3", Role::Count}}},
        {"Form13", {{"Number of Harmonics", "13", Role::Count},
                    {"Duty Cycle [0 to 1]", "0.2", Role::Duty}}},
        {"Form8", {kSampling, cutoff("150"), taps("15")}},
        {"Form9", {kSampling, cutoff("150"), taps("15"), kPhase}},
        {"Form10", {kSampling, {"Pass bandwidth in Hz [less than half the sampling freq.]", "100",
                                Role::BandEdge},
                    kCentre, taps("21"), kPhase}},
        {"Form11", {kSampling, cutoff("350"), taps("15"), kPhase}},
        {"Form12", {kSampling, {"Stop bandwidth in Hz [less than half the sampling freq.]", "200",
                                Role::BandEdge},
                    kCentre, taps("29"), kPhase}},
    };
    // clang-format on
    return table;
}

// Allowed outcomes by role: Count, Duty, Choice, SamplingRate, BandEdge, Taps. A text that is not
// a number may be refused or treated as the screen treats an unusable answer; the other answers
// are combined with the defaults of the other questions (1000 Hz, 150 Hz, 15 taps, ...). A count
// of zero stops some synthesis screens and draws the zero line on others.
struct BadAnswer {
    const char* name;
    QString text;
    unsigned allowed[6];
};

constexpr unsigned kNotANumber[6] = {Refused | Stopped, Refused | Stopped, Drew,
                                     Refused | Ended,   Refused | Ended,   Refused | Ended};

BadAnswer notANumber(const char* name, const QString& text)
{
    BadAnswer answer{name, text, {}};
    std::copy(std::begin(kNotANumber), std::end(kNotANumber), answer.allowed);
    return answer;
}

const std::vector<BadAnswer>& badAnswers()
{
    // clang-format off
    static const std::vector<BadAnswer> answers{
        {"empty", QString(), {Stopped, Stopped, Drew, Ended, Ended, Ended}},
        notANumber("blanks", QStringLiteral("   ")),
        notANumber("word", QStringLiteral("abc")),
        notANumber("decimal_comma", QStringLiteral("1,5")),
        // Beyond the range of doubles a number keeps its sign: too large to use (a tap count that
        // large ends the program, as every count above 500 does) ...
        {"beyond_double", QStringLiteral("1e400"), {Refused, Refused, Drew, Refused, Refused,
                                                    Ended}},
        {"just_beyond_double", QStringLiteral("1e309"),
         {Refused, Refused, Drew, Refused, Refused, Ended}},
        // ... or negative, which ends the program wherever a negative answer does.
        {"just_below_double", QStringLiteral("-1e309"), {Ended, Ended, Drew, Ended, Ended, Ended}},
        // Tap counts: the range first (below 0 or above 500 ends the program), then whole numbers.
        {"minus_two_and_a_half", QStringLiteral("-2.5"), {Ended, Ended, Drew, Ended, Ended, Ended}},
        {"minus_a_half", QStringLiteral("-0.5"), {Ended, Ended, Drew, Ended, Ended, Ended}},
        // 500.5 Hz sampling puts the highpass screen's default cutoff of 350 Hz above half of it.
        {"five_hundred_and_a_half", QStringLiteral("500.5"),
         {Drew, Stopped, Drew, Drew | Ended, Ended, Ended}},
        {"a_half", QStringLiteral("0.5"), {Settled, Drew, Drew, Ended, Drew | Ended, Refused}},
        notANumber("nan", QStringLiteral("nan")),
        notANumber("inf", QStringLiteral("inf")),
        // A negative zero is zero, not a negative number.
        {"negative_zero", QStringLiteral("-0"), {Settled, Drew, Drew, Ended, Ended, Ended}},
        {"below_double", QStringLiteral("1e-400"), {Settled, Drew, Drew, Ended, Ended, Ended}},
        // A tiny sampling frequency puts the default cutoff above half of it.
        {"tiny", QStringLiteral("0.0000001"), {Drew, Drew, Drew, Ended, Drew,
                                               Refused | Ended | Settled}},
        // A duty cycle above 1 stops the pulse screen.
        {"beyond_16_bits", QStringLiteral("32767.5"),
         {Refused | Drew, Stopped, Drew, Drew, Ended, Refused | Ended}},
        {"huge", QStringLiteral("1e9"), {Refused | Drew, Stopped, Drew, Drew, Ended, Ended}},
        {"huge_negative", QStringLiteral("-1e300"), {Ended, Ended, Drew, Ended, Ended, Ended}},
        notANumber("long_digits", QString(10000, QLatin1Char('9'))),
        notANumber("long_text", QString(10000, QLatin1Char('x'))),
        notANumber("greek", QString::fromUtf8("\xcf\x80")),
        notANumber("full_width_digits", QString::fromUtf8("\xef\xbc\x91\xef\xbc\x92")),
        notANumber("arabic_indic_digit", QString::fromUtf8("\xd9\xa3")),
    };
    // clang-format on
    return answers;
}

struct QuestionRow {
    const ScreenQuestions* screen;
    std::size_t index;
};

std::vector<QuestionRow> questionRows()
{
    std::vector<QuestionRow> rows;
    for (const ScreenQuestions& screen : questionTable())
        for (std::size_t i = 0; i < screen.questions.size(); ++i)
            rows.push_back({&screen, i});
    return rows;
}

QStringList answering(const ScreenQuestions& screen, std::size_t from, std::size_t to)
{
    QStringList arguments;
    for (std::size_t i = from; i < to; ++i)
        arguments << QStringLiteral("--answer")
                  << QString::fromUtf8(screen.questions[i].defaultAnswer);
    return arguments;
}

// A whole run, stopped with a report if it hangs.
program::SessionResult runGuarded(const QStringList& arguments)
{
    static playback::StepWatchdog watchdog;
    watchdog.arm(std::chrono::seconds(120), arguments.join(' ').left(200));
    auto result = run(arguments);
    watchdog.disarm();
    return result;
}

QJsonObject openPrompt(const program::SessionResult& result)
{
    return result.state().value("openPrompt").toObject();
}

QString describe(unsigned outcome)
{
    QStringList names;
    if (outcome & Refused)
        names << "refused";
    if (outcome & Ended)
        names << "program ended";
    if (outcome & Stopped)
        names << "screen stopped";
    if (outcome & Drew)
        names << "screen drew";
    return names.join(" or ");
}

void PrintTo(const QuestionRow& row, std::ostream* out)
{
    *out << row.screen->screen << " question " << row.index + 1;
}

// A filter screen shows its design in its coefficient list, a synthesis screen its count in
// the caption Label1.
Outcome waitingOutcome(const program::SessionResult& result, const QString& screen)
{
    EXPECT_TRUE(openWindows(result).contains(screen)) << "the screen went away";
    const QJsonObject shown = controls(result, screen);
    if (shown.contains("List1"))
        return shown.value("List1").toArray().isEmpty() ? Stopped : Drew;
    return shown.value("Label1").toString().trimmed().isEmpty() ? Stopped : Drew;
}

class BadAnswers : public ::testing::TestWithParam<std::tuple<QuestionRow, BadAnswer>> { };

TEST_P(BadAnswers, GetTheScreensBehaviourOrAClearRefusal)
{
    const auto& [row, bad] = GetParam();
    const ScreenQuestions& screen = *row.screen;
    const Question& question = screen.questions[row.index];
    ASSERT_TRUE(playback::registeredScreens().contains(QLatin1String(screen.screen)))
        << screen.screen << " is missing from the screen registry";
    QStringList arguments{"--screen", screen.screen};
    arguments << answering(screen, 0, row.index) << "--answer" << bad.text;
    auto result = runGuarded(arguments);
    EXPECT_EQ(result.nonFiniteCoordinates, 0) << "a coordinate that is not a number was drawn";
    const QJsonArray asked = result.state().value("prompts").toArray();
    ASSERT_GT(asked.size(), static_cast<qsizetype>(row.index))
        << "the screen asked fewer questions";
    ASSERT_EQ(asked[row.index].toObject().value("title").toString(), question.title);

    unsigned outcome = 0;
    if (openPrompt(result).value("title").toString() == question.title) {
        outcome = Refused;
        EXPECT_EQ(openPrompt(result).value("text").toString(), bad.text)
            << "the typed text stays for editing";
        EXPECT_FALSE(openPrompt(result).value("refusal").toString().isEmpty())
            << "the box says why";
        // A script cannot go on past a refusal: its step fails with the box's message.
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.state().value("failedStep").toObject().value("refusal"),
                  openPrompt(result).value("refusal"));
    } else {
        ASSERT_EQ(result.exitCode, 0) << result.failure.toStdString();
        if (!openPrompt(result).isEmpty())
            result =
                runGuarded(arguments << answering(screen, row.index + 1, screen.questions.size()));
        ASSERT_TRUE(openPrompt(result).isEmpty())
            << "a default answer was refused after " << bad.name;
        outcome = ended(result) ? Ended : waitingOutcome(result, screen.screen);
    }
    const unsigned allowed = bad.allowed[static_cast<int>(question.role)];
    EXPECT_TRUE(outcome & allowed) << "got: " << describe(outcome).toStdString()
                                   << "; expected: " << describe(allowed).toStdString();
    EXPECT_EQ(result.nonFiniteCoordinates, 0) << "a coordinate that is not a number was drawn";
}

std::string caseName(const ::testing::TestParamInfo<std::tuple<QuestionRow, BadAnswer>>& info)
{
    const auto& [row, bad] = info.param;
    return std::string(row.screen->screen) + "_question" + std::to_string(row.index + 1) + "_"
        + bad.name;
}

// The field holds 32767 characters. A longer answer cannot be typed in whole, so the scripted
// step is refused before anything is typed, and the question stays open with its default.
class TooLongAnswers : public ::testing::TestWithParam<QuestionRow> { };

TEST_P(TooLongAnswers, AreRefusedBeforeTyping)
{
    const QuestionRow& row = GetParam();
    const ScreenQuestions& screen = *row.screen;
    const Question& question = screen.questions[row.index];
    ASSERT_TRUE(playback::registeredScreens().contains(QLatin1String(screen.screen)))
        << screen.screen << " is missing from the screen registry";
    QStringList arguments{"--screen", screen.screen};
    arguments << answering(screen, 0, row.index) << "--answer"
              << (QStringLiteral("5") + QString(40000, ' ') + "x");
    const auto result = runGuarded(arguments);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.failure.contains("32767")) << result.failure.left(300).toStdString();
    EXPECT_EQ(openPrompt(result).value("title").toString(), question.title);
    EXPECT_EQ(openPrompt(result).value("text").toString(), question.defaultAnswer)
        << "nothing was typed";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, TooLongAnswers, ::testing::ValuesIn(questionRows()),
                         [](const auto& info) {
                             return std::string(info.param.screen->screen) + "_question"
                                    + std::to_string(info.param.index + 1);
                             // clang-format on
                         });

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, BadAnswers,
                         ::testing::Combine(::testing::ValuesIn(questionRows()),
                                            ::testing::ValuesIn(badAnswers())),
                         caseName);
// clang-format on

// The questions a screen asks when every answer is its default.
std::vector<std::pair<QString, QString>> questionsAskedBy(const QString& screen)
{
    QStringList arguments{"--screen", screen};
    for (int guard = 0; guard < 10; ++guard) {
        const auto result = runGuarded(arguments);
        if (openPrompt(result).isEmpty() || result.exitCode != 0) {
            std::vector<std::pair<QString, QString>> questions;
            for (const QJsonValue& prompt : result.state().value("prompts").toArray())
                questions.emplace_back(prompt.toObject().value("title").toString(),
                                       prompt.toObject().value("default").toString());
            return questions;
        }
        arguments << "--answer" << openPrompt(result).value("text").toString();
    }
    return {};
}

const ScreenQuestions* tableRowOf(const QString& screen)
{
    for (const ScreenQuestions& row : questionTable())
        if (screen == row.screen)
            return &row;
    return nullptr;
}

// The table follows the screens: a registered screen asks exactly the questions listed for it,
// and a screen that asks questions without a row of its own still faces the bad answers.
TEST(BadAnswers, TableMatchesTheQuestionsOfEveryRegisteredScreen)
{
    for (const QString& screen : playback::registeredScreens()) {
        SCOPED_TRACE(screen.toStdString());
        const auto asked = questionsAskedBy(screen);
        if (const ScreenQuestions* row = tableRowOf(screen)) {
            ASSERT_EQ(asked.size(), row->questions.size());
            for (std::size_t i = 0; i < asked.size(); ++i) {
                EXPECT_EQ(asked[i].first, row->questions[i].title);
                EXPECT_EQ(asked[i].second, row->questions[i].defaultAnswer);
            }
            continue;
        }
        for (const BadAnswer& bad : badAnswers()) {
            if (asked.empty())
                break;
            SCOPED_TRACE(bad.name);
            const auto result = runGuarded({"--screen", screen, "--answer", bad.text});
            const bool refused =
                openPrompt(result).value("title").toString() == asked.front().first;
            EXPECT_EQ(result.exitCode, refused ? 2 : 0) << result.failure.toStdString();
            if (refused) {
                EXPECT_FALSE(openPrompt(result).value("refusal").toString().isEmpty());
            }
            EXPECT_EQ(result.nonFiniteCoordinates, 0);
        }
    }
}

} // namespace
