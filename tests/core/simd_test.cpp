// The vector levels: how DSPLAB_SIMD is read, and every level the processor has against the
// baseline: bit for bit on the series sums, to rounding on the response sweep.

#include "dsp/simd.h"

#include "dsp/fir_design.h"
#include "dsp/fir_response.h"
#include "dsp/series.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace dsp::simd {

// Levels print as their names in failure messages.
void PrintTo(Level level, std::ostream* os) { *os << name(level); }

namespace {

TEST(SimdLevels, NamesReadBackAsTheirLevels)
{
    for (Level level : kLevels) {
        SCOPED_TRACE(std::string(name(level)));
        EXPECT_EQ(parseLevel(name(level)), level);
    }
    // Only the exact lower-case names the variable documents are levels.
    for (const char* text : {"", "AVX2", "avx", "avx512f", "sse2", " avx2"})
        EXPECT_EQ(parseLevel(text), std::nullopt) << '"' << text << '"';
}

TEST(SimdLevels, TheWidestLevelIsSupportedAndBaselineAlways)
{
    EXPECT_TRUE(supported(Level::baseline));
    EXPECT_TRUE(supported(widestSupported()));
    EXPECT_TRUE(supported(active()));
}

// ctest runs this once more with DSPLAB_SIMD=baseline (core_tests_forced_baseline).
TEST(SimdLevels, TheActiveLevelFollowsDsplabSimd)
{
    EXPECT_EQ(active(), resolve(std::getenv("DSPLAB_SIMD"), widestSupported()));
}

TEST(SimdLevels, RequestsResolveToALevelTheProcessorHas)
{
    struct Row {
        const char* request;
        Level widest;
        Level expected;
    };
    // clang-format off
    const Row rows[] = {
        // No request, or an unknown one: the widest level.
        {nullptr, Level::avx512, Level::avx512},
        {"", Level::avx2, Level::avx2},
        {"fast", Level::avx512, Level::avx512},
        {"AVX2", Level::baseline, Level::baseline},
        // A level the processor has is taken as asked, narrower ones too.
        {"baseline", Level::avx512, Level::baseline},
        {"avx2", Level::avx512, Level::avx2},
        {"avx512", Level::avx512, Level::avx512},
        {"baseline", Level::baseline, Level::baseline},
        // A level it lacks falls to the widest it has.
        {"avx512", Level::avx2, Level::avx2},
        {"avx512", Level::baseline, Level::baseline},
        {"avx2", Level::baseline, Level::baseline},
    };
    // clang-format on
    for (const Row& row : rows) {
        EXPECT_EQ(resolve(row.request, row.widest), row.expected)
            << (row.request ? row.request : "(unset)") << " on " << name(row.widest);
    }
}

int one() { return 1; }
int two() { return 2; }
int three() { return 3; }

TEST(SimdVariants, PickTheLevelsFunctionOrTheBaselineWhereThereIsNone)
{
    const Variants<int (*)()> all{one, two, three};
    EXPECT_EQ(all.pick(Level::baseline)(), 1);
    EXPECT_EQ(all.pick(Level::avx2)(), 2);
    EXPECT_EQ(all.pick(Level::avx512)(), 3);
    const Variants<int (*)()> baselineOnly{one, nullptr, nullptr};
    for (Level level : kLevels)
        EXPECT_EQ(baselineOnly.pick(level)(), 1) << name(level);
}

// ---- Every level against the baseline ----------------------------------------------------

std::uint64_t bits(double value) { return std::bit_cast<std::uint64_t>(value); }

class LevelAgainstBaseline : public testing::TestWithParam<Level> {
protected:
    void SetUp() override
    {
        if (!supported(GetParam()))
            GTEST_SKIP() << "this processor has no " << name(GetParam());
    }
};

struct NamedCurve {
    std::string name;
    std::function<Curve(Level)> make;
};

// Counts either side of the phasors' reseeding every 1024 terms, and the largest a screen takes.
std::vector<NamedCurve> curves()
{
    std::vector<NamedCurve> all;
    for (int n : {0, 1, 2, 7, 1023, 1025, 32767}) {
        const std::string count = std::to_string(n);
        all.push_back({"square " + count, [n](Level l) { return squareWaveCurveUsing(n, l); }});
        all.push_back({"triangle " + count, [n](Level l) { return triangleWaveCurveUsing(n, l); }});
        all.push_back({"sawtooth " + count, [n](Level l) { return sawtoothWaveCurveUsing(n, l); }});
        all.push_back(
            {"fullWave " + count, [n](Level l) { return fullWaveRectifiedCurveUsing(n, l); }});
        all.push_back(
            {"halfWave " + count, [n](Level l) { return halfWaveRectifiedCurveUsing(n, l); }});
        all.push_back({"pulse " + count, [n](Level l) { return pulseTrainCurveUsing(n, 0.2, l); }});
    }
    return all;
}

TEST_P(LevelAgainstBaseline, SeriesCurvesAreTheSameBits)
{
    for (const NamedCurve& curve : curves()) {
        SCOPED_TRACE(curve.name);
        const Curve base = curve.make(Level::baseline);
        const Curve wide = curve.make(GetParam());
        ASSERT_EQ(wide.points.size(), base.points.size());
        for (std::size_t i = 0; i < base.points.size(); ++i) {
            ASSERT_EQ(bits(wide.points[i].x), bits(base.points[i].x)) << "point " << i;
            ASSERT_EQ(bits(wide.points[i].y), bits(base.points[i].y))
                << "point " << i << ": " << wide.points[i].y << " against " << base.points[i].y;
        }
    }
}

struct NamedTaps {
    std::string name;
    std::vector<double> taps;
};

// The wide levels fuse each complex product between the transforms (fmaddsub), the baseline
// rounds it twice: a few roundings of the sum of the taps' sizes apart, and u exactly the same.
TEST_P(LevelAgainstBaseline, ResponseSweepsAgreeToRounding)
{
    using namespace dsp::fir;
    // One tap, an odd and an even count, the screens' designs and the largest count a screen
    // takes.
    // clang-format off
    const NamedTaps tables[] = {
        {"lowpass 1", blackmanLowpassTaps(1000, 150, 1)},
        {"highpass 2", highpassTaps(1000, 350, 2)},
        {"lowpass 15", blackmanLowpassTaps(1000, 150, 15)},
        {"rectangular 16", rectangularLowpassTaps(1000, 150, 16)},
        {"bandpass 21", bandpassTaps(1000, 100, 250, 21)},
        {"bandstop 100", bandstopTaps(1000, 200, 250, 100)},
        {"lowpass 500", blackmanLowpassTaps(1000, 10, 500)},
        {"rectangular 500", rectangularLowpassTaps(1000, 499.9, 500)},
    };
    // clang-format on
    for (const NamedTaps& table : tables) {
        SCOPED_TRACE(table.name);
        double size = 0;
        for (double tap : table.taps)
            size += std::abs(tap);
        const std::vector<ResponsePoint> base = responseSweepUsing(table.taps, Level::baseline);
        const std::vector<ResponsePoint> wide = responseSweepUsing(table.taps, GetParam());
        ASSERT_EQ(wide.size(), base.size());
        for (std::size_t j = 0; j < base.size(); ++j) {
            ASSERT_EQ(bits(wide[j].u), bits(base[j].u)) << "point " << j;
            ASSERT_NEAR(wide[j].re, base[j].re, 1e-14 * size) << "u = " << base[j].u;
            ASSERT_NEAR(wide[j].im, base[j].im, 1e-14 * size) << "u = " << base[j].u;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelAgainstBaseline, testing::Values(Level::avx2, Level::avx512),
                         [](const testing::TestParamInfo<Level>& info) {
                             return std::string(name(info.param));
                         });

} // namespace
} // namespace dsp::simd
