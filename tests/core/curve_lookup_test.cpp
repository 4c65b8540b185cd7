// A curve's value between its points, as the read-out gives it: on the straight line the screen
// draws between them, and nothing outside the curve.

#include "dsp/curve_lookup.h"
#include "dsp/series.h"
#include "dsp/wave_units.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

const std::vector<dsp::CurveRow> kRamp{{0, 0}, {1, 2}, {3, -2}};
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct LookupCase {
    const char* name;
    double time;
    std::optional<double> value;
};

class ValueAtTime : public ::testing::TestWithParam<LookupCase> { };

TEST_P(ValueAtTime, FollowsTheLinesBetweenPoints)
{
    EXPECT_EQ(dsp::valueAtTime(kRamp, GetParam().time), GetParam().value);
}

// Between (1, 2) and (3, -2) the line falls 2 a unit of time.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Times, ValueAtTime,
    ::testing::Values(LookupCase{"FirstPoint", 0, 0.0}, LookupCase{"MiddlePoint", 1, 2.0},
                      LookupCase{"LastPoint", 3, -2.0}, LookupCase{"HalfwayUp", 0.5, 1.0},
                      LookupCase{"QuarterWayDown", 1.5, 1.0},
                      LookupCase{"BeforeTheCurve", -0.01, std::nullopt},
                      LookupCase{"AfterTheCurve", 3.01, std::nullopt},
                      LookupCase{"NotANumber", kNaN, std::nullopt}),
    tables::rowName);
// clang-format on

TEST(ValueAtTime, NoPointsNoValue) { EXPECT_FALSE(dsp::valueAtTime({}, 0).has_value()); }

// At each synthesised point of a real curve, the point's own value.
TEST(ValueAtTime, MeetsEveryPointOfASquareWave)
{
    const auto rows = dsp::curveInSeriesUnits(dsp::Wave::Square, dsp::squareWaveCurve(5));
    for (const dsp::CurveRow& row : rows)
        EXPECT_EQ(dsp::valueAtTime(rows, row.time), row.value) << row.time;
}

} // namespace
