#include "dsp/chirp_z.h"

#include "dsp/plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace dsp {
namespace {

// e^(i kPi n^2 / (2 steps)) straight from its definition in long double: for n up to 25500
// (the chirp of 500 taps' 25001 points) its angles of up to 4e4 rad keep some 5e-15. The angle
// taken in double would be 4e-12 off there.
TEST(Chirp, KeepsItsAngleForLargeN)
{
    const std::int64_t rows[][2] = {{750, 765}, {25000, 25500}, {5000, 5500}};
    for (const auto& [steps, last] : rows) {
        for (std::int64_t n = 0; n <= last; n += n < 100 ? 1 : 97) {
            const long double angle = static_cast<long double>(kPi)
                * static_cast<long double>(n * n) / (2.0L * static_cast<long double>(steps));
            const std::complex<double> w = chirp(n, steps);
            ASSERT_NEAR(w.real(), static_cast<double>(std::cos(angle)), 2e-14) << n;
            ASSERT_NEAR(w.imag(), static_cast<double>(std::sin(angle)), 2e-14) << n;
        }
    }
}

struct GridCase {
    std::string name;
    std::size_t taps, points;
    std::int64_t steps;
};

class ChirpGridSums : public testing::TestWithParam<GridCase> { };

// Shapes the response sweep never takes: more taps than points, many blocks of a few taps,
// angles of many turns between points.
TEST_P(ChirpGridSums, MatchTheSumsTermByTerm)
{
    const GridCase& row = GetParam();
    std::mt19937 generator(static_cast<unsigned>(row.taps));
    std::uniform_real_distribution<double> tap(-1, 1);
    std::vector<double> taps(row.taps);
    double size = 0;
    for (double& value : taps)
        size += std::abs(value = tap(generator));
    const ChirpGrid grid(row.taps, row.points, row.steps);
    std::vector<std::complex<double>> sums(row.points);
    grid.sums(
        taps.data(),
        [&](std::size_t first, std::span<const std::complex<double>> z) {
            std::copy(z.begin(), z.end(), sums.begin() + static_cast<std::ptrdiff_t>(first));
        },
        simd::active());
    for (std::size_t j = 0; j < row.points; ++j) {
        std::complex<long double> sum = 0;
        for (std::size_t k = 0; k < row.taps; ++k) {
            const long double angle = static_cast<long double>(kPi)
                * static_cast<long double>(k * j) / static_cast<long double>(row.steps);
            sum += static_cast<long double>(taps[k]) * std::polar(1.0L, angle);
        }
        ASSERT_NEAR(sums[j].real(), static_cast<double>(sum.real()), 1e-13 * size) << j;
        ASSERT_NEAR(sums[j].imag(), static_cast<double>(sum.imag()), 1e-13 * size) << j;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, ChirpGridSums,
                         testing::Values(GridCase{"OneTapOnePoint", 1, 1, 1},
                                         GridCase{"MoreTapsThanPoints", 600, 100, 30000},
                                         GridCase{"ManyBlocksOfThreeTaps", 3, 5000, 7},
                                         GridCase{"ManyTurnsBetweenPoints", 37, 3000, 2}),
                         [](const testing::TestParamInfo<GridCase>& row) {
                             return row.param.name;
                         });

} // namespace
} // namespace dsp
