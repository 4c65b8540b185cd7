#include "dsp/response_grid.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace dsp {
namespace {

// H at x = i / size by its definition, with the angle of each term reduced exactly in whole
// numbers first (k i mod size), so the reference itself carries no long-table rounding.
std::complex<double> directBin(const std::vector<double>& taps, std::size_t i, std::size_t size)
{
    std::complex<double> h = 0;
    for (std::size_t k = 0; k < taps.size(); ++k) {
        const double turns = static_cast<double>(k * i % size) / static_cast<double>(size);
        h += taps[k] * std::polar(1.0, -2 * std::numbers::pi * turns);
    }
    return h;
}

std::vector<double> randomTaps(std::size_t count)
{
    std::mt19937 generator(static_cast<unsigned>(count));
    std::uniform_real_distribution<double> tap(-1, 1);
    std::vector<double> taps(count);
    for (double& value : taps)
        value = tap(generator);
    return taps;
}

struct GridCase {
    std::size_t taps;
    std::size_t size;
};

class GridMagnitudes : public testing::TestWithParam<GridCase> { };

// Every bin from 0 Hz to fs/2 inclusive, against the sums: the zero-padding and the real
// transform's half spectrum must leave none out. Rounding of the transform grows like
// log2(size) roundings of the sum of the taps' sizes; 1e-15 per tap covers it.
TEST_P(GridMagnitudes, AgreeWithTheSumsAtEveryBin)
{
    const std::vector<double> taps = randomTaps(GetParam().taps);
    const std::size_t size = GetParam().size;
    const std::vector<double> grid = gridMagnitudes(taps, size);
    ASSERT_EQ(grid.size(), size / 2 + 1);
    const double tolerance = 1e-15 * static_cast<double>(taps.size()) + 1e-15;
    for (std::size_t i = 0; i < grid.size(); ++i)
        ASSERT_NEAR(grid[i], std::abs(directBin(taps, i, size)), tolerance) << "bin " << i;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    TapCountsAndSizes, GridMagnitudes,
    testing::Values(GridCase{1, 4}, GridCase{1, 1024}, GridCase{2, 4}, GridCase{3, 8},
                    GridCase{5, 64}, GridCase{15, 1024}, GridCase{16, 32}, GridCase{17, 2048},
                    GridCase{100, 8192}, GridCase{513, 2048}, GridCase{1000, 4096}),
    [](const testing::TestParamInfo<GridCase>& row) {
        return std::to_string(row.param.taps) + "TapsOn" + std::to_string(row.param.size);
                              // clang-format on
                          });

TEST(ExactSum, QuarterTurnsAreExact)
{
    // 1 + e^(-i pi) and 1 + e^(-i pi / 2) + e^(-i pi) + e^(-i 3 pi / 2) vanish exactly.
    EXPECT_EQ(std::abs(exactSum({1, 1}, 0.5)), 0);
    EXPECT_EQ(std::abs(exactSum({1, 1, 1, 1}, 0.25)), 0);
    EXPECT_EQ(exactSum({0, 1}, 0.25), std::complex<double>(0, -1));
    EXPECT_EQ(exactSum({0, 1}, 0.75), std::complex<double>(0, 1));
}

TEST(ExactSum, LongTablesAgreeWithTheSumsAtManyFrequencies)
{
    const std::vector<double> taps = randomTaps(32767);
    constexpr std::size_t kSize = 1 << 21;
    for (std::size_t i : {1ul, 12345ul, 314159ul, 700001ul, kSize / 2 - 1}) {
        const std::complex<double> expected = directBin(taps, i, kSize);
        const std::complex<double> actual = exactSum(taps, static_cast<double>(i) / kSize);
        EXPECT_NEAR(actual.real(), expected.real(), 1e-11) << "bin " << i;
        EXPECT_NEAR(actual.imag(), expected.imag(), 1e-11) << "bin " << i;
    }
}

TEST(ScaledTaps, LargestMagnitudeInAHalfOpenUnitAndTheScaleExact)
{
    for (const std::vector<double>& taps : std::vector<std::vector<double>>{
             {0.25, -3}, {1e308, -1e308}, {5e-324}, {-0.5, 0.5}, {1, 0}}) {
        const std::optional<ScaledTaps> scaled = scaledTaps(taps);
        ASSERT_TRUE(scaled.has_value());
        double largest = 0;
        for (std::size_t k = 0; k < taps.size(); ++k) {
            largest = std::max(largest, std::abs(scaled->taps[k]));
            EXPECT_EQ(std::ldexp(scaled->taps[k], scaled->exponent), taps[k]);
        }
        EXPECT_GE(largest, 0.5);
        EXPECT_LT(largest, 1);
    }
    EXPECT_FALSE(scaledTaps({}).has_value());
    EXPECT_FALSE(scaledTaps({0, -0.0}).has_value());
    EXPECT_FALSE(scaledTaps({1, std::nan("")}).has_value());
    EXPECT_FALSE(scaledTaps({1, -HUGE_VAL}).has_value());
}

} // namespace
} // namespace dsp
