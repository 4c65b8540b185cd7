#include "app/answer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct ReadCase {
    const char* text;
    bool readable;
    double value;
};

class ReadNumber : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadNumber, AcceptsOnlyPlainNumbers)
{
    const auto& c = GetParam();
    const auto value = dsp::readNumber(c.text);
    ASSERT_EQ(value.has_value(), c.readable) << '"' << c.text << '"';
    if (c.readable) {
        EXPECT_DOUBLE_EQ(*value, c.value) << '"' << c.text << '"';
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, ReadNumber, ::testing::Values(
    ReadCase{"3", true, 3},
    ReadCase{"  2.7  ", true, 2.7},
    ReadCase{"+5", true, 5},
    ReadCase{"-1", true, -1},
    ReadCase{".5", true, 0.5},
    ReadCase{"5.", true, 5},
    ReadCase{"1e3", true, 1000},
    ReadCase{"1E-05", true, 1e-5},
    ReadCase{"-0", true, 0},
    ReadCase{"0.0000001", true, 1e-7},
    ReadCase{"1e-400", true, 0},       // underflows to zero: still a number
    ReadCase{"", false, 0},
    ReadCase{"   ", false, 0},
    ReadCase{"abc", false, 0},
    ReadCase{"1,5", false, 0},         // the separator is "." whatever the locale
    ReadCase{"1.2.3", false, 0},
    ReadCase{"1e400", false, 0},       // not finite
    ReadCase{"inf", false, 0},
    ReadCase{"nan", false, 0},
    ReadCase{"1e", false, 0},
    ReadCase{".", false, 0},
    ReadCase{"-", false, 0},
    ReadCase{"3 4", false, 0},
    ReadCase{"0x10", false, 0},
    ReadCase{"\xc3\xa9", false, 0}));

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
