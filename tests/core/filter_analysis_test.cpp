#include "dsp/filter_analysis.h"

#include "dsp/fir_design.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

namespace dsp {
namespace {

using tables::PrintTo;
using Taps = std::vector<double>;

struct Design {
    std::string name;
    Taps taps;
};

// H at w radians per sample by its definition.
std::complex<double> response(const Taps& h, double w)
{
    std::complex<double> sum = 0;
    for (std::size_t n = 0; n < h.size(); ++n)
        sum += h[n] * std::polar(1.0, -w * static_cast<double>(n));
    return sum;
}

double radiansPerSample(double frequencyHz, double samplingHz)
{
    return 2 * std::numbers::pi * frequencyHz / samplingHz;
}

// The largest |H| over the delay's own grid.
double peakOf(const Taps& h, const GroupDelay& delay)
{
    double peak = 0;
    for (const GroupDelayPoint& point : delay.points)
        peak = std::max(peak, std::abs(response(h, radiansPerSample(point.frequencyHz, 1000))));
    return peak;
}

// Every filter kind at fs = 1000, its taps mirrored about the middle (or mirrored negated, when
// the design is nearer antisymmetric, as the bandpass's sine modulation makes it).
Taps mirrored(Taps h)
{
    const std::size_t n = h.size();
    double same = 0;
    double opposite = 0;
    for (std::size_t k = 0; k < n; ++k) {
        same += std::abs(h[k] + h[n - 1 - k]);
        opposite += std::abs(h[k] - h[n - 1 - k]);
    }
    const double sign = same >= opposite ? 1 : -1;
    for (std::size_t k = 0; k < n / 2; ++k)
        h[n - 1 - k] = sign * h[k];
    // An antisymmetric table's middle tap is its own negative.
    if (sign < 0 && n % 2 == 1)
        h[n / 2] = 0;
    return h;
}

std::vector<Design> everyKind(int taps)
{
    const std::string n = std::to_string(taps);
    return {{"RectangularLowpass" + n, fir::rectangularLowpassTaps(1000, 150, taps)},
            {"BlackmanLowpass" + n, fir::blackmanLowpassTaps(1000, 150, taps)},
            {"Highpass" + n, fir::highpassTaps(1000, 150, taps)},
            {"Bandpass" + n, fir::bandpassTaps(1000, 100, 250, taps)},
            {"Bandstop" + n, fir::bandstopTaps(1000, 100, 250, taps)}};
}

std::vector<Design> symmetricDesigns()
{
    std::vector<Design> designs;
    for (int taps : {1, 2, 15, 16, 101, 256})
        for (Design design : everyKind(taps))
            designs.push_back({design.name, mirrored(design.taps)});
    return designs;
}

// ---- Step response --------------------------------------------------------------------------

class StepResponse : public testing::TestWithParam<Design> { };

// Each s[n] against h[0] + ... + h[n] summed afresh; the last is the gain at 0 Hz, H(0).
TEST_P(StepResponse, IsTheRunningSumEndingAtTheGainAtZeroHertz)
{
    const Taps& h = GetParam().taps;
    const Taps s = stepResponse(h);
    ASSERT_EQ(s.size(), h.size());
    for (std::size_t n = 0; n < h.size(); ++n) {
        double sum = 0;
        for (std::size_t k = 0; k <= n; ++k)
            sum += h[k];
        EXPECT_EQ(s[n], sum) << "n = " << n;
    }
    if (!h.empty()) {
        EXPECT_NEAR(s.back(), response(h, 0).real(), 1e-14);
    }
}

INSTANTIATE_TEST_SUITE_P(Designs, StepResponse,
                         testing::Values(Design{"Empty", {}}, Design{"OneTap", {0.25}},
                                         Design{"Pair", {1, 1}}, Design{"Difference", {1, 0, -1}},
                                         everyKind(15)[1], everyKind(16)[2], everyKind(51)[3]),
                         tables::rowName);

// ---- Group delay ----------------------------------------------------------------------------

class SymmetricDelay : public testing::TestWithParam<Design> { };

// A table symmetric or antisymmetric about its middle has linear phase: the delay is (N - 1) / 2
// wherever H is not zero. The sums' rounding, about 1e-16 N of the peak, divides by |H| twice.
TEST_P(SymmetricDelay, IsHalfTheLengthLessOneAtEveryPointWithADelay)
{
    const Taps& h = GetParam().taps;
    const GroupDelay delay = groupDelay(h, 1000);
    ASSERT_EQ(delay.points.size(), 50 * h.size() + 1);
    EXPECT_EQ(delay.points.back().frequencyHz, 500);
    const double peak = peakOf(h, delay);
    const double middle = (static_cast<double>(h.size()) - 1) / 2;
    for (const GroupDelayPoint& point : delay.points) {
        if (!point.delaySamples)
            continue;
        const double size = std::abs(response(h, radiansPerSample(point.frequencyHz, 1000)));
        const double tolerance =
            4e-15 * static_cast<double>(h.size()) * (1 + std::pow(peak / size, 2));
        ASSERT_NEAR(*point.delaySamples, middle, tolerance) << point.frequencyHz << " Hz";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, SymmetricDelay, testing::ValuesIn(symmetricDesigns()),
                         tables::rowName);

// The default Blackman lowpass as designed (its mirror taps differ in the sixth digit, from the
// five-decimal pi) reads the middle tap's time, 7 samples, across its pass band, 0 to 100 Hz.
TEST(GroupDelay, DefaultBlackmanLowpassReadsSevenAcrossItsPassBand)
{
    const GroupDelay delay = groupDelay(fir::blackmanLowpassTaps(1000, 150, 15), 1000);
    for (const GroupDelayPoint& point : delay.points) {
        if (point.frequencyHz <= 100) {
            EXPECT_NEAR(point.delaySamples.value(), 7, 1e-5) << point.frequencyHz << " Hz";
        }
    }
}

class PhaseSlope : public testing::TestWithParam<Design> { };

// -d(phase)/dw by central differences of atan2, the step taken back into (-pi, pi]. Where |H| is
// at least 1 % of its peak, the difference's rounding (1e-16 N / 1e-2 / 1e-5) and its truncation
// (w^2 N^3 / 6, w = 1e-5) stay below 1e-5 for N up to 51.
TEST_P(PhaseSlope, MatchesTheDelay)
{
    const Taps& h = GetParam().taps;
    const GroupDelay delay = groupDelay(h, 1000);
    const double peak = peakOf(h, delay);
    constexpr double kStep = 1e-5;
    for (const GroupDelayPoint& point : delay.points) {
        const double w = radiansPerSample(point.frequencyHz, 1000);
        if (std::abs(response(h, w)) < 0.01 * peak)
            continue;
        const double rise = std::arg(response(h, w + kStep)) - std::arg(response(h, w - kStep));
        const double slope = std::remainder(rise, 2 * std::numbers::pi) / (2 * kStep);
        ASSERT_NEAR(point.delaySamples.value(), -slope, 1e-5) << point.frequencyHz << " Hz";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Designs, PhaseSlope,
    testing::Values(everyKind(15)[0], everyKind(15)[1], everyKind(15)[2], everyKind(15)[3],
                    everyKind(16)[4],
                    Design{"NarrowLowpass51", fir::blackmanLowpassTaps(1000, 10, 51)},
                    Design{"Decaying", {1, 0.5, 0.25}}, Design{"Uneven", {0.1, -0.4, 1, 0.3}}),
    tables::rowName);

struct ZeroOnTheCircle {
    std::string name;
    Taps taps;
    double delay;                  // (N - 1) / 2: both tables are symmetric or antisymmetric
    std::vector<double> leftOutHz; // where a zero on the circle puts |H| = 0
};

class DelayBesideZeros : public testing::TestWithParam<ZeroOnTheCircle> { };

TEST_P(DelayBesideZeros, LeavesOutExactlyTheZeros)
{
    const GroupDelay delay = groupDelay(GetParam().taps, 1000);
    std::vector<double> leftOut;
    for (const GroupDelayPoint& point : delay.points) {
        if (!point.delaySamples) {
            leftOut.push_back(point.frequencyHz);
            continue;
        }
        EXPECT_NEAR(*point.delaySamples, GetParam().delay, 1e-9) << point.frequencyHz;
    }
    EXPECT_EQ(leftOut, GetParam().leftOutHz);
    EXPECT_EQ(delay.leftOut, leftOut.size());
}

// 1 + z^-1 vanishes at z = -1 (fs/2); 1 - z^-2 at z = 1 and -1 (0 Hz and fs/2); 1 + z^-1 + z^-2
// + z^-3 at -1 and +-i (fs/2 and fs/4; the grid has 250 Hz, as its step is fs / 400).
INSTANTIATE_TEST_SUITE_P(UnitCircle, DelayBesideZeros,
                         testing::Values(ZeroOnTheCircle{"Pair", {1, 1}, 0.5, {500}},
                                         ZeroOnTheCircle{"Difference", {1, 0, -1}, 1, {0, 500}},
                                         ZeroOnTheCircle{"FourOnes", {1, 1, 1, 1}, 1.5, {250, 500}},
                                         ZeroOnTheCircle{"OneTap", {3}, 0, {}}),
                         tables::rowName);

struct Refused {
    std::string name;
    Taps taps;
    TapsCheck check;
    ZerosStatus zeros;
};

class RefusedTaps : public testing::TestWithParam<Refused> { };

TEST_P(RefusedTaps, GiveNoDelayAndNoZeros)
{
    const GroupDelay delay = groupDelay(GetParam().taps, 1000);
    EXPECT_EQ(delay.taps, GetParam().check);
    EXPECT_TRUE(delay.points.empty());
    const FilterZeros zeros = filterZeros(GetParam().taps);
    EXPECT_EQ(zeros.status, GetParam().zeros);
    EXPECT_TRUE(zeros.zeros.empty());
}

// 5e-324 z^2 + z + 1 has a root near -2e323, beyond the largest double.
INSTANTIATE_TEST_SUITE_P(
    Degenerate, RefusedTaps,
    testing::Values(
        Refused{"Empty", {}, TapsCheck::Empty, ZerosStatus::NoPolynomial},
        Refused{"AllZero", {0, -0.0, 0}, TapsCheck::AllZero, ZerosStatus::NoPolynomial},
        Refused{"NotANumber", {1, std::nan("")}, TapsCheck::NotFinite, ZerosStatus::NotFinite},
        Refused{"Infinite", {-HUGE_VAL, 1}, TapsCheck::NotFinite, ZerosStatus::NotFinite},
        Refused{"MoreThanADesign", Taps(501, 1.0), TapsCheck::TooMany, ZerosStatus::TooMany}),
    tables::rowName);

TEST(FilterZeros, RootsBeyondTheRangeOfDoublesAreUnsolved)
{
    EXPECT_EQ(filterZeros({5e-324, 1, 1}).status, ZerosStatus::Unsolved);
    EXPECT_EQ(groupDelay({5e-324, 1, 1}, 1000).taps, TapsCheck::Usable);
}

// ---- Zeros ----------------------------------------------------------------------------------

// h[0] times the product of (z - z_i), highest power first.
std::vector<std::complex<double>> rebuilt(double leading, const FilterZeros& zeros)
{
    std::vector<std::complex<double>> poly{leading};
    for (std::complex<double> zero : zeros.zeros) {
        poly.push_back(0);
        for (std::size_t k = poly.size() - 1; k > 0; --k)
            poly[k] -= zero * poly[k - 1];
    }
    return poly;
}

class ZerosRebuild : public testing::TestWithParam<Design> { };

// Expanding the product loses some digits to the end zeros far from the circle (a Blackman
// table's end taps are 1e-3 to 1e-8 of its largest), so 1e-9 of the largest tap.
TEST_P(ZerosRebuild, TheTaps)
{
    const Taps& h = GetParam().taps;
    const FilterZeros zeros = filterZeros(h);
    ASSERT_EQ(zeros.status, ZerosStatus::Found);
    ASSERT_EQ(zeros.zeros.size(), h.size() - 1);
    const auto poly = rebuilt(h[0], zeros);
    double largest = 0;
    for (double tap : h)
        largest = std::max(largest, std::abs(tap));
    for (std::size_t k = 0; k < h.size(); ++k) {
        EXPECT_NEAR(poly[k].real(), h[k], 1e-9 * largest) << "tap " << k;
        EXPECT_NEAR(poly[k].imag(), 0, 1e-9 * largest) << "tap " << k;
    }
}

std::vector<Design> rebuildDesigns()
{
    std::vector<Design> designs = everyKind(15);
    for (Design design : everyKind(16))
        designs.push_back(design);
    designs.push_back({"Uneven", {0.1, -0.4, 1, 0.3}});
    return designs;
}

INSTANTIATE_TEST_SUITE_P(Designs, ZerosRebuild, testing::ValuesIn(rebuildDesigns()),
                         tables::rowName);

class LongDesignZeros : public testing::TestWithParam<Design> { };

// A product of 499 factors cannot be expanded in doubles, so each zero is put back into the
// polynomial instead: the residual, relative to the sum of its terms' sizes, is a few roundings
// times the degree when the zero is a zero of a polynomial within rounding of the taps.
TEST_P(LongDesignZeros, EachMakesThePolynomialVanish)
{
    const Taps& h = GetParam().taps;
    const FilterZeros zeros = filterZeros(h);
    ASSERT_EQ(zeros.zeros.size(), h.size() - 1);
    for (std::complex<double> z : zeros.zeros) {
        // Horner in 1/z beyond the circle, so that no power overflows.
        const bool outside = std::abs(z) > 1;
        const std::complex<double> x = outside ? 1.0 / z : z;
        std::complex<double> value = 0;
        double size = 0;
        for (std::size_t k = 0; k < h.size(); ++k) {
            const double tap = outside ? h[h.size() - 1 - k] : h[k];
            value = value * x + tap;
            size = size * std::abs(x) + std::abs(tap);
        }
        ASSERT_LE(std::abs(value), 1e-12 * size) << z;
    }
}

INSTANTIATE_TEST_SUITE_P(Designs, LongDesignZeros,
                         testing::Values(everyKind(500)[1], everyKind(499)[3]), tables::rowName);

struct KnownZeros {
    std::string name;
    Taps taps;
    std::vector<std::complex<double>> zeros; // in any order
    int atOrigin;
    int atInfinity;
};

class ZerosOfSmallTables : public testing::TestWithParam<KnownZeros> { };

TEST_P(ZerosOfSmallTables, AreTheRootsWorkedByHand)
{
    const FilterZeros found = filterZeros(GetParam().taps);
    ASSERT_EQ(found.status, ZerosStatus::Found);
    EXPECT_EQ(found.atOrigin, GetParam().atOrigin);
    EXPECT_EQ(found.atInfinity, GetParam().atInfinity);
    ASSERT_EQ(found.zeros.size(), GetParam().zeros.size());
    for (std::complex<double> expected : GetParam().zeros) {
        double nearest = std::numeric_limits<double>::infinity();
        for (std::complex<double> zero : found.zeros)
            nearest = std::min(nearest, std::abs(zero - expected));
        EXPECT_LT(nearest, 1e-12) << expected;
    }
}

// z + 1: -1. z^2 - 1: +-1. z^3 + z^2 + z + 1 = (z + 1)(z^2 + 1). A leading zero tap drops the
// degree (0 z^2 + z + 1), a trailing one puts a zero at 0 (z^2 + z = z (z + 1)).
INSTANTIATE_TEST_SUITE_P(
    ByHand, ZerosOfSmallTables,
    testing::Values(KnownZeros{"OneTap", {0.7}, {}, 0, 0}, KnownZeros{"Pair", {1, 1}, {-1.0}, 0, 0},
                    KnownZeros{"Difference", {1, 0, -1}, {1.0, -1.0}, 0, 0},
                    KnownZeros{"FourOnes", {1, 1, 1, 1}, {-1.0, {0, 1}, {0, -1}}, 0, 0},
                    KnownZeros{"LeadingZero", {0, 1, 1}, {-1.0}, 0, 1},
                    KnownZeros{"TrailingZero", {1, 1, 0}, {-1.0, 0.0}, 1, 0},
                    KnownZeros{"DelayedTap", {0, 0, 2, 0}, {0.0}, 1, 2}),
    tables::rowName);

// ---- Exports --------------------------------------------------------------------------------

TEST(AnalysisCsv, WritesEveryTableWithSeventeenDigits)
{
    EXPECT_EQ(formatImpulseCsv({0.1, -2}), "n,h\n0,0.10000000000000001\n1,-2\n");
    // 0.1 + 0.2 rounds to the double just above 0.3.
    EXPECT_EQ(formatStepCsv(stepResponse({0.1, 0.2})),
              "n,s\n0,0.10000000000000001\n"
              "1,0.30000000000000004\n");
    // {1, 1}: delay 1/2 up to fs/2, where H = 0 leaves the field empty.
    const std::string delay = formatGroupDelayCsv(groupDelay({1, 1}, 1000));
    EXPECT_EQ(delay.substr(0, 38), "frequency_hz,delay_samples\n0,0.5\n5,0.5");
    EXPECT_EQ(delay.substr(delay.size() - 6), "\n500,\n");
    // The zero of z + 1 at -1 sits at fs/2.
    EXPECT_EQ(formatZerosCsv(filterZeros({1, 1}), 1000), "re,im,radius,angle_hz\n-1,0,1,500\n");
}

} // namespace
} // namespace dsp
