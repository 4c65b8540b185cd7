#include "dsp/answer.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

struct ReadCase {
    const char* name;
    const char* text;
    bool readable;
    double value;
};

class ReadNumber : public ::testing::TestWithParam<ReadCase> { };

TEST_P(ReadNumber, AcceptsOnlyPlainNumbers)
{
    const auto& c = GetParam();
    const auto value = dsp::readNumber(c.text);
    ASSERT_EQ(value.has_value(), c.readable) << '"' << c.text << '"';
    if (c.readable) {
        EXPECT_DOUBLE_EQ(*value, c.value) << '"' << c.text << '"';
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Answers, ReadNumber, ::testing::Values(
    ReadCase{"three", "3", true, 3},
    ReadCase{"padded_decimal", "  2.7  ", true, 2.7},
    ReadCase{"plus_sign", "+5", true, 5},
    ReadCase{"minus_one", "-1", true, -1},
    ReadCase{"no_leading_digit", ".5", true, 0.5},
    ReadCase{"no_trailing_digit", "5.", true, 5},
    ReadCase{"exponent", "1e3", true, 1000},
    ReadCase{"capital_negative_exponent", "1E-05", true, 1e-5},
    ReadCase{"minus_zero", "-0", true, 0},
    ReadCase{"seven_decimals", "0.0000001", true, 1e-7},
    ReadCase{"underflow", "1e-400", true, 0}, // underflows to zero: still a number
    ReadCase{"empty", "", false, 0},
    ReadCase{"blanks", "   ", false, 0},
    ReadCase{"word", "abc", false, 0},
    ReadCase{"decimal_comma", "1,5", false, 0}, // the separator is "." whatever the locale
    ReadCase{"two_points", "1.2.3", false, 0},
    ReadCase{"overflow", "1e400", false, 0}, // not finite
    ReadCase{"inf", "inf", false, 0},
    ReadCase{"nan", "nan", false, 0},
    ReadCase{"exponent_without_digits", "1e", false, 0},
    ReadCase{"point_alone", ".", false, 0},
    ReadCase{"minus_alone", "-", false, 0},
    ReadCase{"two_numbers", "3 4", false, 0},
    ReadCase{"hexadecimal", "0x10", false, 0},
    ReadCase{"accented_letter", "\xc3\xa9", false, 0}),
    tables::rowName);
// clang-format on

// Numbers beyond the range of doubles keep their sign: -1e309 is a (very) negative answer and
// 1e309 a (very) large one, as 1e308 written out with all its digits already is.
struct ReadingCase {
    const char* name;
    std::string text;
    dsp::Reading reading;
    double value;
};

class ReadAnswer : public ::testing::TestWithParam<ReadingCase> { };

TEST_P(ReadAnswer, SortsTheAnswerAndKeepsTheSignBeyondTheRange)
{
    const auto& c = GetParam();
    const dsp::AnswerValue read = dsp::readAnswer(c.text);
    EXPECT_EQ(read.reading, c.reading);
    EXPECT_EQ(read.value, c.value);
}

const double kInfinity = HUGE_VAL;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Answers, ReadAnswer,
    ::testing::Values(
        ReadingCase{"empty", "", dsp::Reading::Empty, 0},
        ReadingCase{"blanks", "   ", dsp::Reading::NotANumber, 0},
        ReadingCase{"word", "abc", dsp::Reading::NotANumber, 0},
        ReadingCase{"three", "3", dsp::Reading::Number, 3},
        ReadingCase{"largest_double_written_out", "179769313486231570" + std::string(291, '0'),
                    dsp::Reading::Number, 1.7976931348623157e308},
        ReadingCase{"above_the_range", "1e309", dsp::Reading::OutOfRange, kInfinity},
        ReadingCase{"above_the_range_written_out", "1" + std::string(309, '0'),
                    dsp::Reading::OutOfRange, kInfinity},
        ReadingCase{"below_the_range", "-1e309", dsp::Reading::OutOfRange, -kInfinity},
        ReadingCase{"below_the_range_with_blanks", "  -1E+400 ", dsp::Reading::OutOfRange,
                    -kInfinity},
        ReadingCase{"underflow_is_zero", "-1e-400", dsp::Reading::Number, 0},
        ReadingCase{"inf_is_a_word", "-inf", dsp::Reading::NotANumber, 0}),
    tables::rowName);
// clang-format on

TEST(ReadAnswer, NegativeOnlyForNumbersBelowZero)
{
    EXPECT_TRUE(dsp::readAnswer("-1e309").negative());
    EXPECT_TRUE(dsp::readAnswer("-0.5").negative());
    EXPECT_FALSE(dsp::readAnswer("-0").negative());
    EXPECT_FALSE(dsp::readAnswer("-x").negative());
    EXPECT_FALSE(dsp::readAnswer("").negative());
}

TEST(ClassifyCount, BeyondTheRangeSortsBySign)
{
    EXPECT_EQ(dsp::classifyCount("-1e309"), dsp::CountKind::Negative);
    EXPECT_EQ(dsp::classifyCount("1e309"), dsp::CountKind::Positive);
}

// The box's verdict for each kind of question. "ends" marks an answer the box lets through
// because the screen ends the program on it.
enum Verdict { Takes, Refuses };

struct RuleCase {
    const char* name;
    std::string answer;
    Verdict asNumber;
    Verdict asCount; // harmonic count, made whole by its whole part
    Verdict asTaps;
};

class AnswerRefusal : public ::testing::TestWithParam<RuleCase> { };

TEST_P(AnswerRefusal, DecidesEveryQuestionAlike)
{
    const auto& c = GetParam();
    EXPECT_EQ(dsp::answerRefusal(dsp::AnswerKind::Number, c.answer).has_value(),
              c.asNumber == Refuses);
    EXPECT_EQ(dsp::answerRefusal(dsp::AnswerKind::HarmonicCount, c.answer).has_value(),
              c.asCount == Refuses);
    EXPECT_EQ(dsp::answerRefusal(dsp::AnswerKind::TapCount, c.answer).has_value(),
              c.asTaps == Refuses);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Answers, AnswerRefusal,
    ::testing::Values(
        RuleCase{"empty_is_cancel", "", Takes, Takes, Takes},
        RuleCase{"word", "abc", Refuses, Refuses, Refuses},
        RuleCase{"fifteen", "15", Takes, Takes, Takes},
        RuleCase{"fraction", "15.5", Takes, Takes, Refuses},
        RuleCase{"zero_point_five", "0.5", Takes, Takes, Refuses},
        // Range first: a tap count below 0 or above 500 ends the program, whole or not.
        RuleCase{"taps_minus_two_and_a_half", "-2.5", Takes, Takes, Takes},
        RuleCase{"taps_minus_a_half", "-0.5", Takes, Takes, Takes},
        RuleCase{"taps_five_hundred", "500", Takes, Takes, Takes},
        RuleCase{"taps_five_hundred_and_a_half", "500.5", Takes, Takes, Takes},
        RuleCase{"taps_just_below_five_hundred", "499.5", Takes, Takes, Refuses},
        RuleCase{"largest_count", "32767.9", Takes, Takes, Takes},
        RuleCase{"count_too_large", "32768", Takes, Refuses, Takes},
        RuleCase{"largest_double_written_out", "1" + std::string(308, '0'), Takes, Refuses, Takes},
        // Beyond the range: negative answers end the program; large ones are too large.
        RuleCase{"below_the_double_range", "-1e309", Takes, Takes, Takes},
        RuleCase{"above_the_double_range", "1e309", Refuses, Refuses, Takes},
        RuleCase{"longest_answer", std::string(32766, ' ') + "5", Takes, Takes, Takes},
        RuleCase{"longer_than_the_field", "5" + std::string(40000, ' ') + "x", Refuses, Refuses,
                 Refuses},
        RuleCase{"longer_than_the_field_but_a_number", std::string(32767, ' ') + "5", Refuses,
                 Refuses, Refuses}),
    tables::rowName);
// clang-format on

TEST(AnswerRefusal, NearestEvenCountRoundsBeforeTheLimit)
{
    using dsp::CountConversion;
    EXPECT_FALSE(dsp::answerRefusal(dsp::AnswerKind::HarmonicCount, "32767.4",
                                    CountConversion::NearestEven));
    EXPECT_TRUE(dsp::answerRefusal(dsp::AnswerKind::HarmonicCount, "32767.5",
                                   CountConversion::NearestEven));
}

TEST(AnswerRefusal, ReasonsAreOneShortLine)
{
    for (const char* answer : {"abc", "1e309", "15.5"})
        for (const auto kind :
             {dsp::AnswerKind::Number, dsp::AnswerKind::HarmonicCount, dsp::AnswerKind::TapCount})
            if (const auto reason = dsp::answerRefusal(kind, answer)) {
                EXPECT_EQ(reason->find('\n'), std::string::npos);
                EXPECT_LT(reason->size(), 60u) << *reason;
            }
}

TEST(AnswerLength, CountsAsTheQuestionBoxDoes)
{
    EXPECT_EQ(dsp::answerLength("abc"), 3u);
    EXPECT_EQ(dsp::answerLength("\xcf\x80"), 1u);         // pi: one 16-bit unit
    EXPECT_EQ(dsp::answerLength("\xef\xbc\x91"), 1u);     // full-width digit one
    EXPECT_EQ(dsp::answerLength("\xf0\x9f\x98\x80"), 2u); // beyond 16 bits: a surrogate pair
}

TEST(ReadNumber, LongTextsAreRefusedOrReadWithoutTrouble)
{
    EXPECT_FALSE(dsp::readNumber(std::string(10000, 'x')));
    const auto longNumber = dsp::readNumber(std::string(10000, '9'));
    EXPECT_FALSE(longNumber); // 1E10000 is not finite
    const auto longFraction = dsp::readNumber("0." + std::string(10000, '0') + "1");
    ASSERT_TRUE(longFraction);
    EXPECT_EQ(*longFraction, 0);
}

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(dsp::roundHalfEven(2.7), 3);
    EXPECT_EQ(dsp::roundHalfEven(13.5), 14);
    EXPECT_EQ(dsp::roundHalfEven(12.5), 12);
    EXPECT_EQ(dsp::roundHalfEven(0.5), 0);
    EXPECT_EQ(dsp::roundHalfEven(0.6), 1);
    EXPECT_EQ(dsp::wholePart(2.7), 2);
    EXPECT_EQ(dsp::wholePart(0.5), 0);
}

TEST(ClassifyCount, SortsTheAnswer)
{
    EXPECT_EQ(dsp::classifyCount(""), dsp::CountKind::Empty);
    EXPECT_EQ(dsp::classifyCount("-1"), dsp::CountKind::Negative);
    EXPECT_EQ(dsp::classifyCount("-0"), dsp::CountKind::Zero);
    EXPECT_EQ(dsp::classifyCount("0"), dsp::CountKind::Zero);
    EXPECT_EQ(dsp::classifyCount("0.5"), dsp::CountKind::Positive);
}

} // namespace
