#include "dsp/axis_ticks.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

// The smallest of 1, 2, 5 times a power of ten that is at least the least step asked for.
struct StepCase {
    const char* name;
    double least;
    double step;
};

class NiceStep : public ::testing::TestWithParam<StepCase> { };

TEST_P(NiceStep, IsTheSmallestNiceStepNotBelow)
{
    EXPECT_DOUBLE_EQ(dsp::niceStepAtLeast(GetParam().least), GetParam().step);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Examples, NiceStep, ::testing::Values(
    StepCase{"one_is_nice", 1, 1},
    StepCase{"above_one", 1.01, 2},
    StepCase{"three_tenths", 0.3, 0.5},
    StepCase{"five_tenths", 0.5, 0.5},
    StepCase{"hundredths", 0.013, 0.02},
    StepCase{"tens_of_hertz", 37.5, 50},
    StepCase{"above_five", 5.5, 10},
    StepCase{"thousands", 1999, 2000},
    StepCase{"nothing_asked", 0, 1},
    StepCase{"negative", -3, 1}), tables::rowName);
// clang-format on

struct TicksCase {
    const char* name;
    double from, to, step;
    std::vector<double> ticks;
};

class Ticks : public ::testing::TestWithParam<TicksCase> { };

TEST_P(Ticks, AreTheStepsMultiplesInTheRange)
{
    const TicksCase& c = GetParam();
    EXPECT_EQ(dsp::ticksBetween(c.from, c.to, c.step), c.ticks);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Examples, Ticks, ::testing::Values(
    TicksCase{"hertz", 0, 500, 100, {0, 100, 200, 300, 400, 500}},
    TicksCase{"either_order", 500, 0, 250, {0, 250, 500}},
    TicksCase{"decibels_below_zero", -98.3, 27, 20, {-80, -60, -40, -20, 0, 20}},
    // 0.1 * 3 is 0.30000000000000004 and 0.6 / 0.2 is 2.9999999999999996: the end still counts.
    TicksCase{"tenths_to_an_end_off_by_rounding", 0, 0.6, 0.2, {0, 0.2, 0.4, 0.6000000000000001}},
    TicksCase{"none_inside", 0.1, 0.15, 1, {}},
    TicksCase{"no_step", 0, 1, 0, {}}), tables::rowName);
// clang-format on

struct DecimalsCase {
    const char* name;
    double step;
    int decimals;
};

class Decimals : public ::testing::TestWithParam<DecimalsCase> { };

TEST_P(Decimals, WriteEveryMultipleOfTheStep)
{
    EXPECT_EQ(dsp::decimalsForStep(GetParam().step), GetParam().decimals);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Examples, Decimals, ::testing::Values(
    DecimalsCase{"whole", 20, 0},
    DecimalsCase{"one", 1, 0},
    DecimalsCase{"halves", 0.5, 1},
    DecimalsCase{"fifths", 0.2, 1},
    DecimalsCase{"twentieths", 0.05, 2}), tables::rowName);
// clang-format on

} // namespace
