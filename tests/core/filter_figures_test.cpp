#include "dsp/filter_figures.h"

#include "dsp/fir_design.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstddef>
#include <limits>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace dsp {
namespace {

constexpr double kFs = 1000;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// H(f) by its definition, one std::polar per term.
std::complex<double> directSum(const std::vector<double>& taps, double fs, double f)
{
    std::complex<double> h = 0;
    for (std::size_t k = 0; k < taps.size(); ++k)
        h += taps[k] * std::polar(1.0, -2 * std::numbers::pi * static_cast<double>(k) * f / fs);
    return h;
}

// The figures the independent way: |H| sampled every 0.005 Hz over 0..fs/2 (100001 points),
// crossings placed by linear interpolation between the samples either side. Over a step 1e4
// times narrower than a lobe that interpolation errs by far less than 1e-6 fs, and the
// sampled peak lies within 1e-7 of the true one.
class DenseResponse {
public:
    static constexpr std::ptrdiff_t kSteps = 100000;

    explicit DenseResponse(const std::vector<double>& taps) : m_magnitude(kSteps + 1)
    {
        for (std::ptrdiff_t i = 0; i <= kSteps; ++i)
            m_magnitude[i] = std::abs(directSum(taps, kFs, hz(i)));
    }
    static double hz(std::ptrdiff_t i) { return i * (kFs / 2) / kSteps; }
    static std::ptrdiff_t index(double hz) { return std::lround(hz / (kFs / 2) * kSteps); }
    double at(std::ptrdiff_t i) const { return m_magnitude[i]; }

    struct Crossing {
        double hz;
        std::ptrdiff_t beyond;
    };
    std::optional<Crossing> crossing(std::ptrdiff_t from, int direction, double level) const
    {
        for (std::ptrdiff_t i = from + direction; i >= 0 && i <= kSteps; i += direction) {
            const double before = at(i - direction);
            if (before >= level && at(i) < level) {
                const double share = (before - level) / (before - at(i));
                return Crossing{hz(i - direction) + direction * share * hz(1), i};
            }
        }
        return std::nullopt;
    }
    std::optional<std::ptrdiff_t> minimum(std::ptrdiff_t from, int direction) const
    {
        for (std::ptrdiff_t i = from; i + direction >= 0 && i + direction <= kSteps;
             i += direction) {
            if (at(i + direction) > at(i))
                return i;
        }
        return std::nullopt;
    }
    double peak(std::ptrdiff_t first, std::ptrdiff_t last) const
    {
        double largest = 0;
        for (std::ptrdiff_t i = first; i <= last; ++i)
            largest = std::max(largest, at(i));
        return largest;
    }

private:
    std::vector<double> m_magnitude;
};

struct Side {
    std::ptrdiff_t start;
    int direction;
};

FilterFigures denseFigures(const std::vector<double>& taps, FilterKind kind, double centreHz)
{
    const DenseResponse dense(taps);
    const std::ptrdiff_t top = DenseResponse::kSteps;
    std::vector<Side> sides;
    std::ptrdiff_t reference = 0;
    if (kind == FilterKind::Lowpass || kind == FilterKind::Bandstop)
        sides.push_back({0, 1});
    if (kind == FilterKind::Highpass || kind == FilterKind::Bandstop)
        sides.push_back({top, -1});
    if (kind == FilterKind::Highpass)
        reference = top;
    if (kind == FilterKind::Bandpass) {
        reference = DenseResponse::index(centreHz);
        sides = {{reference, -1}, {reference, 1}};
    }
    FilterFigures figures;
    const double g = dense.at(reference);
    figures.referenceGain = g;
    std::vector<std::optional<std::ptrdiff_t>> minima;
    for (const Side& side : sides) {
        if (const auto c = dense.crossing(side.start, side.direction, g / std::sqrt(2.0)))
            figures.minus3dbHz.push_back(c->hz);
        const auto half = dense.crossing(side.start, side.direction, g / 2);
        if (half)
            figures.minus6dbHz.push_back(half->hz);
        minima.push_back(half ? dense.minimum(half->beyond, side.direction) : std::nullopt);
        const auto nine = dense.crossing(side.start, side.direction, 0.9 * g);
        const auto one = dense.crossing(side.start, side.direction, 0.1 * g);
        if (nine && one)
            figures.transitionHz.push_back(std::abs(one->hz - nine->hz));
    }
    std::optional<double> peak;
    if (kind == FilterKind::Bandstop && minima[0] && minima[1]) {
        peak = dense.peak(std::min(*minima[0], *minima[1]), std::max(*minima[0], *minima[1]));
    } else if (kind != FilterKind::Bandstop) {
        for (std::size_t s = 0; s < sides.size(); ++s) {
            if (minima[s]) {
                const double value = sides[s].direction > 0 ? dense.peak(*minima[s], top)
                                                            : dense.peak(0, *minima[s]);
                peak = std::max(peak.value_or(0.0), value);
            }
        }
    }
    if (peak)
        figures.stopbandPeakDb = 20 * std::log10(*peak / g);
    return figures;
}

struct DesignCase {
    std::string name;
    std::vector<double> taps;
    FilterKind kind;
    double centreHz = 0;
};

class DesignFigures : public testing::TestWithParam<DesignCase> {};

void expectListNear(const std::vector<double>& actual, const std::vector<double>& expected,
                    double tolerance, const char* what)
{
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << what << " " << i;
}

TEST_P(DesignFigures, MatchDenseSamplingOfTheResponse)
{
    const DesignCase& design = GetParam();
    const FilterFigures figures = measureFilter(design.taps, kFs, design.kind, design.centreHz);
    const FilterFigures expected = denseFigures(design.taps, design.kind, design.centreHz);
    ASSERT_TRUE(figures.referenceGain.has_value());
    EXPECT_NEAR(*figures.referenceGain, *expected.referenceGain, 1e-12);
    // Each crossing within 1e-6 fs, plus as much again for the interpolated reference.
    const double crossingTolerance = 2e-6 * kFs;
    expectListNear(figures.minus3dbHz, expected.minus3dbHz, crossingTolerance, "-3 dB");
    expectListNear(figures.minus6dbHz, expected.minus6dbHz, crossingTolerance, "-6 dB");
    expectListNear(figures.transitionHz, expected.transitionHz, 2 * crossingTolerance,
                   "transition");
    ASSERT_EQ(figures.stopbandPeakDb.has_value(), expected.stopbandPeakDb.has_value());
    if (expected.stopbandPeakDb) {
        EXPECT_NEAR(*figures.stopbandPeakDb, *expected.stopbandPeakDb, 1e-4);
    }
}

INSTANTIATE_TEST_SUITE_P(
    FirDesigns, DesignFigures,
    testing::Values(
        DesignCase{"BlackmanLowpass15", fir::blackmanLowpassTaps(kFs, 150, 15),
                   FilterKind::Lowpass},
        DesignCase{"RectangularLowpass15", fir::rectangularLowpassTaps(kFs, 150, 15),
                   FilterKind::Lowpass},
        DesignCase{"Highpass15", fir::highpassTaps(kFs, 350, 15), FilterKind::Highpass},
        DesignCase{"Bandpass21", fir::bandpassTaps(kFs, 100, 250, 21), FilterKind::Bandpass, 250},
        // The band runs past fs/2: no upper edge and no stop band above.
        DesignCase{"BandpassAt480", fir::bandpassTaps(kFs, 100, 480, 21), FilterKind::Bandpass,
                   480},
        DesignCase{"Bandstop29", fir::bandstopTaps(kFs, 200, 250, 29), FilterKind::Bandstop},
        DesignCase{"BandstopAt100", fir::bandstopTaps(kFs, 100, 100, 40), FilterKind::Bandstop}),
    [](const testing::TestParamInfo<DesignCase>& row) { return row.param.name; });

// The course's default lowpass, with and without the window, shows the trade the window makes.
TEST(DefaultLowpassFigures, WindowWidensTheTransitionAndDeepensTheStopBand)
{
    const FilterFigures blackman = measureFilter(fir::blackmanLowpassTaps(kFs, 150, 15), kFs,
                                                 FilterKind::Lowpass);
    const FilterFigures rectangular = measureFilter(fir::rectangularLowpassTaps(kFs, 150, 15),
                                                    kFs, FilterKind::Lowpass);
    ASSERT_EQ(blackman.transitionHz.size(), 1u);
    ASSERT_EQ(rectangular.transitionHz.size(), 1u);
    EXPECT_GT(blackman.transitionHz[0], 2 * rectangular.transitionHz[0]);
    ASSERT_TRUE(blackman.stopbandPeakDb && rectangular.stopbandPeakDb);
    EXPECT_LT(*blackman.stopbandPeakDb, *rectangular.stopbandPeakDb - 40);
}

// Two equal taps: |H| = cos(pi f / fs), falling from 1 at 0 Hz to 0 at fs/2, so each crossing
// of a level L lies at fs acos(L) / pi. Its only minimum is the end of the range: no stop band.
TEST(TwoTapAverage, CrossingsAtTheArccosineOfEachLevel)
{
    const FilterFigures figures = measureFilter({0.5, 0.5}, kFs, FilterKind::Lowpass);
    const auto at = [](double level) { return kFs * std::acos(level) / std::numbers::pi; };
    const double tolerance = 1e-6 * kFs;
    ASSERT_TRUE(figures.referenceGain.has_value());
    EXPECT_DOUBLE_EQ(*figures.referenceGain, 1);
    ASSERT_EQ(figures.minus3dbHz.size(), 1u);
    EXPECT_NEAR(figures.minus3dbHz[0], 250, tolerance);
    ASSERT_EQ(figures.minus6dbHz.size(), 1u);
    EXPECT_NEAR(figures.minus6dbHz[0], kFs / 3, tolerance);
    ASSERT_EQ(figures.transitionHz.size(), 1u);
    EXPECT_NEAR(figures.transitionHz[0], at(0.1) - at(0.9), 2 * tolerance);
    EXPECT_FALSE(figures.stopbandPeakDb.has_value());
}

// Figures that cannot be computed are absent: which ones remain for each input.
struct AbsentCase {
    std::string name;
    std::vector<double> taps;
    double samplingHz;
    FilterKind kind;
    double centreHz;
    bool hasGain;
    std::size_t edges; // entries in each of the three lists
};

class AbsentFigures : public testing::TestWithParam<AbsentCase> {};

TEST_P(AbsentFigures, AreLeftOutNeverNaN)
{
    const AbsentCase& row = GetParam();
    const FilterFigures figures = measureFilter(row.taps, row.samplingHz, row.kind, row.centreHz);
    EXPECT_EQ(figures.referenceGain.has_value(), row.hasGain);
    if (figures.referenceGain) {
        EXPECT_TRUE(std::isfinite(*figures.referenceGain));
    }
    EXPECT_EQ(figures.minus3dbHz.size(), row.edges);
    EXPECT_EQ(figures.minus6dbHz.size(), row.edges);
    EXPECT_EQ(figures.transitionHz.size(), row.edges);
    EXPECT_FALSE(figures.stopbandPeakDb.has_value());
}

const std::vector<double> kDefault = fir::blackmanLowpassTaps(kFs, 150, 15);

INSTANTIATE_TEST_SUITE_P(
    Dashes, AbsentFigures,
    testing::Values(
        AbsentCase{"NoTaps", {}, kFs, FilterKind::Lowpass, 0, false, 0},
        AbsentCase{"AllTapsZero", std::vector<double>(15, 0.0), kFs, FilterKind::Lowpass, 0,
                   false, 0},
        // |H| is the tap's size everywhere: a gain, and nothing crosses.
        AbsentCase{"OneTap", {0.3}, kFs, FilterKind::Lowpass, 0, true, 0},
        AbsentCase{"OneTapBandpass", {-2}, kFs, FilterKind::Bandpass, 100, true, 0},
        AbsentCase{"NaNSamplingRate", kDefault, kNaN, FilterKind::Lowpass, 0, false, 0},
        AbsentCase{"InfiniteSamplingRate", kDefault, kInf, FilterKind::Lowpass, 0, false, 0},
        AbsentCase{"ZeroSamplingRate", kDefault, 0, FilterKind::Lowpass, 0, false, 0},
        AbsentCase{"NegativeSamplingRate", kDefault, -kFs, FilterKind::Lowpass, 0, false, 0},
        AbsentCase{"NaNTap", {0.5, kNaN, 0.5}, kFs, FilterKind::Lowpass, 0, false, 0},
        AbsentCase{"InfiniteTap", {0.5, kInf}, kFs, FilterKind::Lowpass, 0, false, 0},
        // A difference has H(0) = 0, a sum H(fs/2) = 0: G = 0.
        AbsentCase{"ZeroGainLowpass", {1, -1}, kFs, FilterKind::Lowpass, 0, false, 0},
        AbsentCase{"ZeroGainHighpass", {1, 1}, kFs, FilterKind::Highpass, 0, false, 0},
        AbsentCase{"CentreAboveHalfTheRate", kDefault, kFs, FilterKind::Bandpass, 600, false, 0},
        AbsentCase{"NegativeCentre", kDefault, kFs, FilterKind::Bandpass, -1, false, 0},
        AbsentCase{"NaNCentre", kDefault, kFs, FilterKind::Bandpass, kNaN, false, 0},
        AbsentCase{"TooManyTaps", std::vector<double>(kMaxMeasuredTaps + 1, 1.0), kFs,
                   FilterKind::Lowpass, 0, false, 0},
        // |H| = cos(pi f / fs) falls all the way to fs/2: edges, but no minimum beyond them.
        AbsentCase{"NoMinimum", {0.5, 0.5}, kFs, FilterKind::Lowpass, 0, true, 1}),
    [](const testing::TestParamInfo<AbsentCase>& row) { return row.param.name; });

TEST(FigureScaling, PowerOfTwoScaledTapsGiveTheSameFiguresAndAScaledGain)
{
    const FilterFigures base = measureFilter(kDefault, kFs, FilterKind::Lowpass);
    for (int exponent : {-1000, 1000}) {
        SCOPED_TRACE(exponent);
        std::vector<double> scaled = kDefault;
        for (double& tap : scaled)
            tap = std::ldexp(tap, exponent);
        const FilterFigures figures = measureFilter(scaled, kFs, FilterKind::Lowpass);
        ASSERT_TRUE(figures.referenceGain.has_value());
        EXPECT_NEAR(*figures.referenceGain / std::ldexp(*base.referenceGain, exponent), 1, 1e-12);
        EXPECT_EQ(figures.minus3dbHz, base.minus3dbHz);
        EXPECT_EQ(figures.minus6dbHz, base.minus6dbHz);
        EXPECT_EQ(figures.transitionHz, base.transitionHz);
        EXPECT_EQ(figures.stopbandPeakDb, base.stopbandPeakDb);
    }
}

// The longest table the screens design: each edge must be bracketed within 1e-6 fs, checked
// on the definition's own sum at the two ends of that bracket.
TEST(LongestDesign, EdgesLieWithinAMillionthOfTheSamplingRate)
{
    const std::vector<double> taps = fir::blackmanLowpassTaps(kFs, 150, 32767);
    const FilterFigures figures = measureFilter(taps, kFs, FilterKind::Lowpass);
    ASSERT_TRUE(figures.referenceGain.has_value());
    const double g = *figures.referenceGain;
    const auto bracketed = [&](double hz, double level) {
        return std::abs(directSum(taps, kFs, hz - 1e-6 * kFs)) >= level
            && std::abs(directSum(taps, kFs, hz + 1e-6 * kFs)) < level;
    };
    ASSERT_EQ(figures.minus3dbHz.size(), 1u);
    EXPECT_TRUE(bracketed(figures.minus3dbHz[0], g / std::sqrt(2.0)));
    ASSERT_EQ(figures.minus6dbHz.size(), 1u);
    EXPECT_TRUE(bracketed(figures.minus6dbHz[0], g / 2));
    EXPECT_TRUE(figures.stopbandPeakDb.has_value());
}

// Two equal taps: H = cos(pi f / fs) e^(-i pi f / fs), so the phase is -180 f / fs degrees.
// One tap one sample late: H = e^(-i 2 pi f / fs), the phase -360 f / fs wrapped to +-180.
TEST(ExactResponseAt, MagnitudeAndPhaseOfSimpleTables)
{
    struct Row {
        std::vector<double> taps;
        double hz, magnitude, phase;
    };
    const Row rows[] = {
        {{0.5, 0.5}, 0, 1, 0},
        {{0.5, 0.5}, 250, std::sqrt(0.5), -45},
        {{0.5, 0.5}, 100, std::cos(std::numbers::pi / 10), -18},
        {{0, 1}, 100, 1, -36},
        {{0, 1}, 400, 1, -144},
        {{0, 1}, 750, 1, 90},      // -270 degrees wrapped
        {{0, 1}, 1100, 1, -36},    // one turn on
        {{-2}, 123, 2, 180},       // a negative real H reads +180
        {{1e308, 1e308}, 0, kInf, 0},
        {{5e-324}, 0, 5e-324, 0},  // the smallest double keeps its value
        {{}, 100, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.taps.size() << " taps at " << row.hz << " Hz");
        const ExactResponse response = exactResponseAt(row.taps, kFs, row.hz);
        if (std::isinf(row.magnitude))
            EXPECT_EQ(response.magnitude, row.magnitude);
        else
            EXPECT_NEAR(response.magnitude, row.magnitude, 1e-15 * row.magnitude + 1e-320);
        EXPECT_NEAR(response.phaseDeg, row.phase, 1e-12);
    }
}

TEST(ExactResponseAt, NotFiniteInputsGiveNaN)
{
    const std::vector<std::pair<std::vector<double>, std::pair<double, double>>> rows = {
        {kDefault, {kNaN, 100}}, {kDefault, {0, 100}},    {kDefault, {-kFs, 100}},
        {kDefault, {kFs, kNaN}}, {kDefault, {kFs, kInf}}, {{1, kNaN}, {kFs, 100}},
        {{1, kInf}, {kFs, 100}},
    };
    for (const auto& [taps, input] : rows) {
        const ExactResponse response = exactResponseAt(taps, input.first, input.second);
        EXPECT_TRUE(std::isnan(response.magnitude) && std::isnan(response.phaseDeg))
            << input.first << " Hz sampling, " << input.second << " Hz";
    }
}

} // namespace
} // namespace dsp
