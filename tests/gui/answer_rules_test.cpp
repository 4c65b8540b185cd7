#include "screens/screen_setup.h"

#include <gtest/gtest.h>

namespace {

using screens::CountConversion;

struct RuleCase {
    const char* answer;
    bool refusedAsCount;      // harmonic count converted to the nearest whole number
    bool refusedAsWholeCount; // harmonic count cut to its whole part
    bool refusedAsTaps;       // tap count: a whole number
    bool refusedAsNumber;
};

class AnswerRules : public ::testing::TestWithParam<RuleCase> { };

TEST_P(AnswerRules, RefuseWhatTheScreensCannotUse)
{
    const RuleCase& c = GetParam();
    const QString answer = QString::fromUtf8(c.answer);
    EXPECT_EQ(screens::harmonicCountRule(CountConversion::NearestEven)(answer).has_value(),
              c.refusedAsCount);
    EXPECT_EQ(screens::harmonicCountRule(CountConversion::WholePart)(answer).has_value(),
              c.refusedAsWholeCount);
    EXPECT_EQ(screens::wholeCountRule()(answer).has_value(), c.refusedAsTaps);
    EXPECT_EQ(screens::numberRule()(answer).has_value(), c.refusedAsNumber);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Answers, AnswerRules, ::testing::Values(
    RuleCase{"3", false, false, false, false},
    RuleCase{"-1", false, false, false, false},       // negative answers end the program instead
    RuleCase{"2.7", false, false, true, false},
    RuleCase{"32767", false, false, false, false},
    RuleCase{"32767.4", false, false, false, false},  // as taps: above 500, the screen ends
    RuleCase{"32767.5", true, false, false, false},   // rounds to 32768, which does not fit
    RuleCase{"32768", true, true, false, false},
    RuleCase{"1e9", true, true, false, false},
    RuleCase{"abc", true, true, true, true},
    RuleCase{"1,5", true, true, true, true},
    RuleCase{"1e400", true, true, false, true},       // as taps: above 500, the screen ends
    RuleCase{"nan", true, true, true, true},
    RuleCase{"   ", true, true, true, true},
    // Tap counts: below 0 or above 500 ends the program, so only 0 to 500 must be whole.
    RuleCase{"-2.5", false, false, false, false},
    RuleCase{"500.5", false, false, false, false},
    RuleCase{"1e309", true, true, false, true},
    RuleCase{"-1e309", false, false, false, false}),
    [](const auto& info) {
        // Readable names: the answer with its signs and points spelt out.
        std::string name = "Answer_";
        for (const char c : std::string(info.param.answer)) {
            if (c == '-') name += "minus_";
            else if (c == '.') name += "_point_";
            else if (c == ',') name += "_comma_";
            else if (c == ' ') name += "blank_";
            else name += c;
        }
        return name;
    });
// clang-format on

TEST(AnswerRules, RefusalIsOneShortLine)
{
    for (const auto& reason : {screens::numberRule()("abc"),
                               screens::harmonicCountRule(CountConversion::NearestEven)("99999"),
                               screens::wholeCountRule()("15.5")}) {
        ASSERT_TRUE(reason.has_value());
        EXPECT_FALSE(reason->contains('\n'));
        EXPECT_LT(reason->size(), 60);
    }
}

} // namespace
