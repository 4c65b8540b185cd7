#include "dsp/number_format.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

struct FormatCase {
    const char* name;
    double value;
    const char* text;
};

class CaptionNumber : public ::testing::TestWithParam<FormatCase> { };

TEST_P(CaptionNumber, WritesTheCaptionText)
{
    EXPECT_EQ(dsp::captionNumber(GetParam().value), GetParam().text);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Examples, CaptionNumber, ::testing::Values(
    FormatCase{"whole", 3, " 3"},
    FormatCase{"two_decimals", 0.35, " .35"},
    FormatCase{"one_decimal", 0.2, " .2"},
    FormatCase{"thousand", 1000, " 1000"},
    FormatCase{"one_third", 1.0 / 3.0, " .333333333333333"},
    FormatCase{"below_a_ten_thousandth", 0.00001, " 1E-05"},
    FormatCase{"large_exponent", 2.5e15, " 2.5E+15"},
    FormatCase{"one_ten_thousandth", 0.0001, " .0001"},
    FormatCase{"zero", 0, " 0"},
    FormatCase{"minus_zero", -0.0, " 0"},
    FormatCase{"minus_half", -0.5, "-.5"},
    FormatCase{"minus_three", -3, "-3"},
    FormatCase{"two_thirds", 2.0 / 3.0, " .666666666666667"}, // last digit correctly rounded
    FormatCase{"four_decimals", 0.5833, " .5833"},
    // 15 digits stay positional; rounding to 15 digits can carry into the exponent form.
    FormatCase{"fifteen_digits", 123456789012345.0, " 123456789012345"},
    FormatCase{"rounds_up_to_the_exponent_form", 999999999999999.9, " 1E+15"},
    FormatCase{"negative_small_tap", -2.47194233e-8, "-2.47194233E-08"},
    FormatCase{"small_tap", 0.000849240612, " .000849240612"},
    FormatCase{"tiny", 1e-100, " 1E-100"},
    FormatCase{"huge", 1.5e300, " 1.5E+300"},
    FormatCase{"ten_and_a_quarter", 10.25, " 10.25"},
    FormatCase{"rounds_to_one", 0.999999999999999999, " 1"}),
    tables::rowName);
// clang-format on

TEST(CaptionNumberLocale, DecimalSeparatorIsAlwaysAPoint)
{
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed, so no decimal comma to refuse";
    EXPECT_EQ(dsp::captionNumber(0.35), " .35");
    EXPECT_EQ(dsp::captionNumber(2.5e15), " 2.5E+15");
    std::setlocale(LC_ALL, "C");
}

} // namespace
