#include "dsp/number_format.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

struct FormatCase {
    double value;
    const char* text;
};

class CaptionNumber : public ::testing::TestWithParam<FormatCase> {};

TEST_P(CaptionNumber, WritesTheCaptionText)
{
    EXPECT_EQ(dsp::captionNumber(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Examples, CaptionNumber, ::testing::Values(
    FormatCase{3, " 3"},
    FormatCase{0.35, " .35"},
    FormatCase{0.2, " .2"},
    FormatCase{1000, " 1000"},
    FormatCase{1.0 / 3.0, " .333333333333333"},
    FormatCase{0.00001, " 1E-05"},
    FormatCase{2.5e15, " 2.5E+15"},
    FormatCase{0.0001, " .0001"},
    FormatCase{0, " 0"},
    FormatCase{-0.0, " 0"},
    FormatCase{-0.5, "-.5"},
    FormatCase{-3, "-3"},
    FormatCase{2.0 / 3.0, " .666666666666667"},      // last digit correctly rounded
    FormatCase{0.5833, " .5833"},
    FormatCase{123456789012345.0, " 123456789012345"},  // 15 digits stay positional
    FormatCase{999999999999999.9, " 1E+15"},             // rounding carries into the exponent form
    FormatCase{-2.47194233e-8, "-2.47194233E-08"},
    FormatCase{0.000849240612, " .000849240612"},
    FormatCase{1e-100, " 1E-100"},
    FormatCase{1.5e300, " 1.5E+300"},
    FormatCase{10.25, " 10.25"},
    FormatCase{0.999999999999999999, " 1"}));

TEST(CaptionNumberLocale, DecimalSeparatorIsAlwaysAPoint)
{
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed, so no decimal comma to refuse";
    EXPECT_EQ(dsp::captionNumber(0.35), " .35");
    EXPECT_EQ(dsp::captionNumber(2.5e15), " 2.5E+15");
    std::setlocale(LC_ALL, "C");
}

} // namespace
