#include "dsp/filter_figures.h"

#include "dsp/fir_design.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <fstream>
#include <iomanip>
#include <limits>
#include <numbers>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace dsp {
namespace {

using tables::PrintTo; // rows print as their names in failure messages

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

// The figures the independent way: |H| sampled at 100001 points over 0..fs/2, every crossing
// between two samples bisected on the direct sum, every local maximum of the samples climbed
// by golden section on it. A sample step is some 1e-5 fs, hundreds of steps per lobe.
class DenseResponse {
public:
    static constexpr std::ptrdiff_t kSteps = 100000;

    DenseResponse(const std::vector<double>& taps, double fs)
        : m_taps(taps), m_fs(fs), m_magnitude(kSteps + 1)
    {
        for (std::ptrdiff_t i = 0; i <= kSteps; ++i)
            m_magnitude[i] = exact(hz(i));
    }
    double hz(std::ptrdiff_t i) const { return static_cast<double>(i) * (m_fs / 2) / kSteps; }
    std::ptrdiff_t index(double hz) const { return std::lround(hz / (m_fs / 2) * kSteps); }
    double exact(double hz) const { return std::abs(directSum(m_taps, m_fs, hz)); }
    // |H| is even about 0 and about fs/2.
    double at(std::ptrdiff_t i) const
    {
        return m_magnitude[i < 0 ? -i : i > kSteps ? 2 * kSteps - i : i];
    }

    struct Crossing {
        double hz;
        std::ptrdiff_t beyond; // the first sample past it
    };
    // The first sample step from `from` towards `to` over which |H| falls below `level`
    // (falling) or climbs back to it, bisected.
    std::optional<Crossing> crossing(std::ptrdiff_t from, std::ptrdiff_t to, double level,
                                     bool falling) const
    {
        const int direction = to > from ? 1 : -1;
        for (std::ptrdiff_t i = from + direction; (i - to) * direction <= 0; i += direction) {
            const bool before = at(i - direction) >= level;
            if (before == falling && (at(i) >= level) != falling)
                return Crossing{bisect(hz(i - direction), hz(i), level), i};
        }
        return std::nullopt;
    }
    // The largest local maximum of the samples strictly between `low` and `high` (an end of
    // the range counts when it is `low` or `high`), each climbed on the direct sum.
    std::optional<double> peak(std::ptrdiff_t low, std::ptrdiff_t high) const
    {
        std::optional<double> largest;
        for (std::ptrdiff_t i = low; i <= high; ++i) {
            const bool inside = (i > low || i == 0) && (i < high || i == kSteps);
            if (inside && at(i - 1) <= at(i) && at(i + 1) < at(i))
                largest = std::max(largest.value_or(0.0), climb(i));
        }
        return largest;
    }

private:
    double bisect(double a, double b, double level) const
    {
        const bool aAbove = exact(a) >= level;
        for (int step = 0; step < 60; ++step) {
            const double middle = (a + b) / 2;
            ((exact(middle) >= level) == aAbove ? a : b) = middle;
        }
        return (a + b) / 2;
    }
    double climb(std::ptrdiff_t i) const
    {
        double low = hz(std::max<std::ptrdiff_t>(i - 1, 0));
        double high = hz(std::min(i + 1, kSteps));
        for (int step = 0; step < 60; ++step) {
            const double a = low + (high - low) / 3;
            const double b = high - (high - low) / 3;
            (exact(a) < exact(b) ? low : high) = exact(a) < exact(b) ? a : b;
        }
        return std::max({exact(low), at(i)});
    }

    std::vector<double> m_taps;
    double m_fs;
    std::vector<double> m_magnitude;
};

struct DenseSide {
    std::ptrdiff_t start, end;
};

struct DenseEdge {
    std::optional<DenseResponse::Crossing> six, nine, one;
};

std::optional<double> hzOf(const std::optional<DenseResponse::Crossing>& c)
{
    return c ? std::optional<double>(c->hz) : std::nullopt;
}

// One edge: its -3 dB and -6 dB crossings going out from the reference, then its 0.9 G point
// back towards the reference from the -6 dB one and its 0.1 G point on outwards.
DenseEdge denseEdge(const DenseResponse& dense, const DenseSide& side, double g,
                    FilterFigures& figures)
{
    DenseEdge edge;
    figures.minus3dbHz.push_back(
        hzOf(dense.crossing(side.start, side.end, g / std::sqrt(2.0), true)));
    edge.six = dense.crossing(side.start, side.end, g / 2, true);
    figures.minus6dbHz.push_back(hzOf(edge.six));
    if (edge.six) {
        const int direction = side.end > side.start ? 1 : -1;
        edge.nine = dense.crossing(edge.six->beyond, side.start, 0.9 * g, false);
        edge.one = dense.crossing(edge.six->beyond - direction, side.end, 0.1 * g, true);
    }
    figures.transitionHz.push_back(edge.nine && edge.one
                                       ? std::optional(std::abs(edge.one->hz - edge.nine->hz))
                                       : std::nullopt);
    return edge;
}

// A pass band's ripple from the samples between its ends and |H| at the ends themselves; an end
// is an edge's 0.9 G point, or the end of the range where the edge does not exist.
std::optional<double> denseRipple(const DenseResponse& dense, const DenseEdge* lowEdge,
                                  const DenseEdge* highEdge)
{
    const auto endOf = [&](const DenseEdge* edge, double open) -> std::optional<double> {
        if (!edge || !edge->six)
            return open;
        return edge->nine ? std::optional(edge->nine->hz) : std::nullopt;
    };
    const std::optional<double> low = endOf(lowEdge, 0);
    const std::optional<double> high = endOf(highEdge, dense.hz(DenseResponse::kSteps));
    if (!low || !high)
        return std::nullopt;
    double largest = std::max(dense.exact(*low), dense.exact(*high));
    double smallest = std::min(dense.exact(*low), dense.exact(*high));
    for (std::ptrdiff_t i = dense.index(*low); i <= DenseResponse::kSteps && dense.hz(i) < *high;
         ++i) {
        if (dense.hz(i) <= *low)
            continue;
        largest = std::max(largest, dense.at(i));
        smallest = std::min(smallest, dense.at(i));
    }
    return 20 * std::log10(largest / smallest);
}

FilterFigures denseFigures(const std::vector<double>& taps, double fs, FilterKind kind,
                           double centreHz)
{
    const DenseResponse dense(taps, fs);
    const std::ptrdiff_t top = DenseResponse::kSteps;
    const std::ptrdiff_t centre = dense.index(centreHz);
    const std::ptrdiff_t reference = kind == FilterKind::Highpass ? top
        : kind == FilterKind::Bandpass                            ? centre
                                                                  : 0;
    std::vector<DenseSide> sides;
    if (kind == FilterKind::Lowpass)
        sides = {{0, top}};
    if (kind == FilterKind::Highpass)
        sides = {{top, 0}};
    if (kind == FilterKind::Bandpass)
        sides = {{centre, 0}, {centre, top}};
    if (kind == FilterKind::Bandstop)
        sides = {{0, top}, {top, 0}};
    FilterFigures figures;
    const double g = dense.exact(kind == FilterKind::Bandpass ? centreHz : dense.hz(reference));
    figures.referenceGain = g;
    std::vector<DenseEdge> edges;
    for (const DenseSide& side : sides)
        edges.push_back(denseEdge(dense, side, g, figures));
    // Each stop band from an edge's 0.1 G point outwards, to the end or the other 0.1 G point.
    const auto band = [&](const std::optional<DenseResponse::Crossing>& from,
                          std::ptrdiff_t to) -> std::optional<double> {
        if (!from)
            return std::nullopt;
        const std::ptrdiff_t start = from->beyond;
        const auto value = dense.peak(std::min(start, to), std::max(start, to));
        return value ? std::optional(20 * std::log10(*value / g)) : std::nullopt;
    };
    if (kind == FilterKind::Bandstop) {
        const bool upperOpen = !edges[1].six;
        figures.stopbandPeakDb = {upperOpen || edges[1].one
                                      ? band(edges[0].one, upperOpen ? top : edges[1].one->beyond)
                                      : std::nullopt};
    } else {
        for (std::size_t s = 0; s < sides.size(); ++s)
            figures.stopbandPeakDb.push_back(band(edges[s].one, sides[s].end));
    }
    switch (kind) {
    case FilterKind::Lowpass:
        figures.passbandRippleDb = {denseRipple(dense, nullptr, &edges[0])};
        break;
    case FilterKind::Highpass:
        figures.passbandRippleDb = {denseRipple(dense, &edges[0], nullptr)};
        break;
    case FilterKind::Bandpass:
        figures.passbandRippleDb = {denseRipple(dense, &edges[0], &edges[1])};
        break;
    case FilterKind::Bandstop:
        figures.passbandRippleDb = {denseRipple(dense, nullptr, &edges[0]),
                                    denseRipple(dense, &edges[1], nullptr)};
        break;
    }
    return figures;
}

struct DesignCase {
    std::string name;
    std::vector<double> taps;
    FilterKind kind;
    double centreHz = 0;
    double fs = kFs;
};

class DesignFigures : public testing::TestWithParam<DesignCase> { };

void expectSidesNear(const SideFigures& actual, const SideFigures& expected, double tolerance,
                     const char* what)
{
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        ASSERT_EQ(actual[i].has_value(), expected[i].has_value()) << what << " " << i;
        if (expected[i]) {
            EXPECT_NEAR(*actual[i], *expected[i], tolerance) << what << " " << i;
        }
    }
}

TEST_P(DesignFigures, MatchDenseSamplingOfTheResponse)
{
    const DesignCase& design = GetParam();
    const FilterFigures figures =
        measureFilter(design.taps, design.fs, design.kind, design.centreHz);
    const FilterFigures expected =
        denseFigures(design.taps, design.fs, design.kind, design.centreHz);
    ASSERT_TRUE(figures.referenceGain.has_value());
    EXPECT_NEAR(*figures.referenceGain, *expected.referenceGain, 1e-12);
    // Each crossing within 1e-6 fs.
    const double crossingTolerance = 1e-6 * design.fs;
    expectSidesNear(figures.minus3dbHz, expected.minus3dbHz, crossingTolerance, "-3 dB");
    expectSidesNear(figures.minus6dbHz, expected.minus6dbHz, crossingTolerance, "-6 dB");
    expectSidesNear(figures.transitionHz, expected.transitionHz, 2 * crossingTolerance,
                    "transition");
    expectSidesNear(figures.stopbandPeakDb, expected.stopbandPeakDb, 1e-4, "stop band peak");
    expectSidesNear(figures.passbandRippleDb, expected.passbandRippleDb, 0.02, "ripple");
}

// clang-format off
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
        DesignCase{"BandstopAt100", fir::bandstopTaps(kFs, 100, 100, 40), FilterKind::Bandstop},
        // Pass bands that ripple below 0.9 G before their edge.
        DesignCase{"RectangularLowpass31", fir::rectangularLowpassTaps(kFs, 150, 31),
                   FilterKind::Lowpass},
        DesignCase{"RectangularLowpass31At225", fir::rectangularLowpassTaps(kFs, 225, 31),
                   FilterKind::Lowpass},
        DesignCase{"RectangularLowpass51", fir::rectangularLowpassTaps(kFs, 50, 51),
                   FilterKind::Lowpass},
        DesignCase{"RectangularLowpass101", fir::rectangularLowpassTaps(kFs, 25, 101),
                   FilterKind::Lowpass},
        DesignCase{"RectangularLowpass500", fir::rectangularLowpassTaps(kFs, 25, 500),
                   FilterKind::Lowpass},
        DesignCase{"WideBandpassNearZero", fir::bandpassTaps(kFs, 482.907, 63.685, 295),
                   FilterKind::Bandpass, 63.685},
        // Three taps at 7.64324 Hz: only one edge.
        DesignCase{"ThreeTapBandpass", fir::bandpassTaps(7.64324, 1.28486, 0.29934, 3),
                   FilterKind::Bandpass, 0.29934, 7.64324},
        // Below the band |H| never reaches 0.1 G: a stop band above only.
        DesignCase{"BandpassStopAboveOnly", fir::bandpassTaps(48000, 9218.95, 5707.95, 16),
                   FilterKind::Bandpass, 5707.95, 48000},
        // A stop band wide enough to hold maxima between its zeros.
        DesignCase{"WideBandstop101", fir::bandstopTaps(kFs, 300, 250, 101),
                   FilterKind::Bandstop},
        // Below the band |H| stays above 0.1 G, at 200 Hz, not fs/4.
        DesignCase{"Bandpass12StopAboveOnly", fir::bandpassTaps(kFs, 150, 200, 12),
                   FilterKind::Bandpass, 200},
        // Tapers from 2.4 at 0 Hz to 0.4 at fs/2: the stop band's maximum is its end.
        DesignCase{"ThreeTapsPeakAtTheEnd", {0.7, 1, 0.7}, FilterKind::Lowpass},
        // A single notch: no maximum between its edges.
        DesignCase{"BandstopSingleNotch", fir::bandstopTaps(8000, 1746.91, 231.801, 64),
                   FilterKind::Bandstop, 0, 8000}),
    tables::rowName);
// clang-format on

// Figures of an independent review (dense direct sums, bisection) for designs whose pass band
// ripples below 0.9 G, that lose an edge, or whose stop band lies on one side only or holds no
// maximum, each given to the decimals shown there. The taps come as the screens make them from
// their answers.
struct ReviewedCase {
    std::string name;
    std::vector<double> taps;
    double fs;
    FilterKind kind;
    double centreHz;
    SideFigures FilterFigures::*figure;
    SideFigures expected;
    double tolerance; // half the last decimal shown
};

class ReviewedFigures : public testing::TestWithParam<ReviewedCase> { };

TEST_P(ReviewedFigures, AgreeWithTheIndependentComputation)
{
    const ReviewedCase& row = GetParam();
    const FilterFigures figures = measureFilter(row.taps, row.fs, row.kind, row.centreHz);
    expectSidesNear(figures.*row.figure, row.expected, row.tolerance, row.name.c_str());
}

constexpr std::optional<double> kNone = std::nullopt;

ReviewedCase rectangular(const std::string& name, double cutoffHz, int taps, double transition)
{
    return {name,
            fir::rectangularLowpassTaps(kFs, cutoffHz, taps),
            kFs,
            FilterKind::Lowpass,
            0,
            &FilterFigures::transitionHz,
            {transition},
            0.005};
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Review, ReviewedFigures,
    testing::Values(
        // The pass band dips to 0.847 G near 98 Hz, well before the edge.
        rectangular("Rectangular31Transition", 150, 31, 26.01),
        rectangular("Rectangular31At225Transition", 225, 31, 25.52),
        rectangular("Rectangular51Transition", 50, 51, 16.50),
        rectangular("Rectangular101Transition", 25, 101, 8.33),
        rectangular("Rectangular500Transition", 25, 500, 1.54),
        ReviewedCase{"DefaultRectangularTransition", fir::rectangularLowpassTaps(kFs, 150, 15),
                     kFs, FilterKind::Lowpass, 0, &FilterFigures::transitionHz, {49.5148},
                     5e-5},
        // The band reaches below 0 Hz: the upper edge only.
        ReviewedCase{"WideBandpassTransition", fir::bandpassTaps(kFs, 482.907, 63.685, 295), kFs,
                     FilterKind::Bandpass, 63.685, &FilterFigures::transitionHz,
                     {kNone, 6.66}, 0.005},
        ReviewedCase{"ThreeTapBandpassMinus3dB", fir::bandpassTaps(7.64324, 1.28486, 0.29934, 3),
                     7.64324, FilterKind::Bandpass, 0.29934, &FilterFigures::minus3dbHz,
                     {kNone, 1.6879}, 5e-5},
        // Below the band |H| falls to -14.2 dB at 0 Hz only: a stop band above alone.
        ReviewedCase{"BandpassPeakAboveOnly", fir::bandpassTaps(48000, 9218.95, 5707.95, 16),
                     48000, FilterKind::Bandpass, 5707.95, &FilterFigures::stopbandPeakDb,
                     {kNone, -71.80}, 0.005},
        // One notch, its minimum at 873.46 Hz: nothing to call a peak.
        ReviewedCase{"BandstopSingleNotchPeak", fir::bandstopTaps(8000, 1746.91, 231.801, 64),
                     8000, FilterKind::Bandstop, 0, &FilterFigures::stopbandPeakDb, {kNone},
                     0}),
    tables::rowName);
// clang-format on

// The README's window trade-off table, for the default lowpass answers (1000 Hz, 150 Hz, 15
// taps): each number as the figures give it, rounded to the decimals the table shows.
std::vector<std::string> cellsOf(const std::string& line)
{
    std::vector<std::string> cells;
    std::istringstream row(line.substr(1));
    for (std::string cell; std::getline(row, cell, '|');) {
        const std::size_t first = cell.find_first_not_of(' ');
        const std::size_t last = cell.find_last_not_of(' ');
        cells.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
    }
    return cells;
}

std::vector<std::vector<std::string>> readmeWindowTable()
{
    std::ifstream readme(DSPLAB_SOURCE_DIR "/README.md");
    std::vector<std::vector<std::string>> rows;
    bool inTable = false;
    for (std::string line; std::getline(readme, line);) {
        if (line.find("| | Blackman window") == 0)
            inTable = true;
        else if (inTable && line.rfind("|", 0) != 0)
            break;
        if (inTable && line.find("---") == std::string::npos)
            rows.push_back(cellsOf(line));
    }
    return rows;
}

std::string rounded(double value, const std::string& shown)
{
    const std::size_t point = shown.find('.');
    const std::size_t decimals = point == std::string::npos ? 0 : shown.size() - point - 1;
    std::ostringstream text;
    text << std::fixed << std::setprecision(static_cast<int>(decimals)) << value;
    return text.str();
}

TEST(ReadmeWindowTable, ShowsTheFiguresOfTheDefaultLowpass)
{
    const auto table = readmeWindowTable();
    ASSERT_EQ(table.size(), 5u) << "the table's heading and four rows";
    ASSERT_EQ(table[0].size(), 3u);
    ASSERT_NE(table[0][1].find("Blackman"), std::string::npos);
    ASSERT_NE(table[0][2].find("Rectangular"), std::string::npos);
    // clang-format off
    const FilterFigures designs[] = {
        measureFilter(fir::blackmanLowpassTaps(kFs, 150, 15), kFs, FilterKind::Lowpass),
        measureFilter(fir::rectangularLowpassTaps(kFs, 150, 15), kFs, FilterKind::Lowpass)};
    const std::pair<std::string, SideFigures FilterFigures::*> figureOf[] = {
        {"-3 dB", &FilterFigures::minus3dbHz},
        {"-6 dB", &FilterFigures::minus6dbHz},
        {"transition (0.9 G to 0.1 G)", &FilterFigures::transitionHz},
        {"stop-band peak", &FilterFigures::stopbandPeakDb}};
    for (std::size_t r = 0; r < 4; ++r) {
        const std::vector<std::string>& row = table[r + 1];
        ASSERT_EQ(row.size(), 3u);
        ASSERT_EQ(row[0], figureOf[r].first);
        for (std::size_t column = 0; column < 2; ++column) {
            const auto& value = (designs[column].*figureOf[r].second).at(0);
            ASSERT_TRUE(value.has_value()) << row[0];
            const std::string number = row[column + 1].substr(0, row[column + 1].find(' '));
            EXPECT_EQ(rounded(*value, number), number) << row[0] << ", " << table[0][column + 1];
        }
    }
}

// The default lowpass (150 Hz of 1000 Hz, 15 taps), with and without the window, shows the trade
// the window makes.
TEST(DefaultLowpassFigures, WindowWidensTheTransitionAndDeepensTheStopBand)
{
    const FilterFigures blackman = measureFilter(fir::blackmanLowpassTaps(kFs, 150, 15), kFs,
                                                 FilterKind::Lowpass);
    const FilterFigures rectangular = measureFilter(fir::rectangularLowpassTaps(kFs, 150, 15),
                                                    kFs, FilterKind::Lowpass);
    ASSERT_TRUE(blackman.transitionHz.at(0) && rectangular.transitionHz.at(0));
    EXPECT_GT(*blackman.transitionHz[0], 2 * *rectangular.transitionHz[0]);
    ASSERT_TRUE(blackman.stopbandPeakDb.at(0) && rectangular.stopbandPeakDb.at(0));
    EXPECT_LT(*blackman.stopbandPeakDb[0], *rectangular.stopbandPeakDb[0] - 40);
}

// Two equal taps: |H| = cos(pi f / fs), falling from 1 at 0 Hz to 0 at fs/2, so each crossing
// of a level L lies at fs acos(L) / pi. It has no maximum beyond its edge: no stop-band peak.
TEST(TwoTapAverage, CrossingsAtTheArccosineOfEachLevel)
{
    const FilterFigures figures = measureFilter({0.5, 0.5}, kFs, FilterKind::Lowpass);
    const auto at = [](double level) { return kFs * std::acos(level) / std::numbers::pi; };
    const double tolerance = 1e-6 * kFs;
    ASSERT_TRUE(figures.referenceGain.has_value());
    EXPECT_DOUBLE_EQ(*figures.referenceGain, 1);
    ASSERT_EQ(figures.minus3dbHz.size(), 1u);
    ASSERT_TRUE(figures.minus3dbHz[0].has_value());
    EXPECT_NEAR(*figures.minus3dbHz[0], 250, tolerance);
    ASSERT_EQ(figures.minus6dbHz.size(), 1u);
    ASSERT_TRUE(figures.minus6dbHz[0].has_value());
    EXPECT_NEAR(*figures.minus6dbHz[0], kFs / 3, tolerance);
    ASSERT_EQ(figures.transitionHz.size(), 1u);
    ASSERT_TRUE(figures.transitionHz[0].has_value());
    EXPECT_NEAR(*figures.transitionHz[0], at(0.1) - at(0.9), 2 * tolerance);
    EXPECT_EQ(figures.stopbandPeakDb, SideFigures{std::nullopt});
}

// Three taps {a, 1, a}: |H| = |1 + 2a cos w|, w = 2 pi f / fs, so |H| reaches a level L where
// cos w = (L - 1) / 2a. With a = 0.7, G = 2.4 at 0 Hz; |H| falls to a zero and comes back to 0.4
// at fs/2, where the stop band ends on its only maximum. Negating a turns the response end over
// end: the highpass, its stop band's maximum at 0 Hz.
struct ThreeTapCase {
    std::string name;
    double a;
    FilterKind kind;
};

class ThreeTapFigures : public testing::TestWithParam<ThreeTapCase> {};

TEST_P(ThreeTapFigures, CrossingsAtTheArccosineAndThePeakAtTheEndOfTheRange)
{
    const ThreeTapCase& row = GetParam();
    const FilterFigures figures = measureFilter({row.a, 1, row.a}, kFs, row.kind);
    // Where 1 + 1.4 cos w = L, measured from the reference frequency's end of the range.
    const auto fromReference = [](double level) {
        return kFs * std::acos((level - 1) / 1.4) / (2 * std::numbers::pi);
    };
    // clang-format on
    const auto at = [&](double level) {
        return row.kind == FilterKind::Lowpass ? fromReference(level)
                                               : kFs / 2 - fromReference(level);
    };
    const double g = 2.4;
    const double tolerance = 1e-6 * kFs;
    ASSERT_TRUE(figures.referenceGain.has_value());
    EXPECT_NEAR(*figures.referenceGain, g, 1e-12);
    ASSERT_TRUE(figures.minus3dbHz.at(0) && figures.minus6dbHz.at(0));
    EXPECT_NEAR(*figures.minus3dbHz[0], at(g / std::sqrt(2.0)), tolerance);
    EXPECT_NEAR(*figures.minus6dbHz[0], at(g / 2), tolerance);
    ASSERT_TRUE(figures.transitionHz.at(0).has_value());
    EXPECT_NEAR(*figures.transitionHz[0], std::abs(at(0.1 * g) - at(0.9 * g)), 2 * tolerance);
    ASSERT_TRUE(figures.stopbandPeakDb.at(0).has_value());
    EXPECT_NEAR(*figures.stopbandPeakDb[0], 20 * std::log10(0.4 / g), 1e-9);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    EndsOfTheRange, ThreeTapFigures,
    testing::Values(ThreeTapCase{"LowpassPeakAtHalfTheRate", 0.7, FilterKind::Lowpass},
                    ThreeTapCase{"HighpassPeakAtZero", -0.7, FilterKind::Highpass}),
    tables::rowName);
// clang-format on

// Figures that cannot be computed are null, in lists as long as ever: which ones remain.
struct AbsentCase {
    std::string name;
    std::vector<double> taps;
    double samplingHz;
    FilterKind kind;
    double centreHz;
    bool hasGain;
    std::size_t edges; // entries that are not null in each of the three per-edge lists
};

std::size_t present(const SideFigures& list)
{
    return static_cast<std::size_t>(
        std::count_if(list.begin(), list.end(), [](const auto& value) { return value; }));
}

class AbsentFigures : public testing::TestWithParam<AbsentCase> { };

TEST_P(AbsentFigures, AreLeftOutNeverNaN)
{
    const AbsentCase& row = GetParam();
    const FilterFigures figures = measureFilter(row.taps, row.samplingHz, row.kind, row.centreHz);
    EXPECT_EQ(figures.referenceGain.has_value(), row.hasGain);
    if (figures.referenceGain) {
        EXPECT_TRUE(std::isfinite(*figures.referenceGain));
    }
    const std::size_t edges = row.kind == FilterKind::Bandpass ? 2 : 1;
    for (const SideFigures* list :
         {&figures.minus3dbHz, &figures.minus6dbHz, &figures.transitionHz}) {
        EXPECT_EQ(list->size(), edges);
        EXPECT_EQ(present(*list), row.edges);
        for (const auto& value : *list)
            EXPECT_TRUE(!value || std::isfinite(*value));
    }
    EXPECT_EQ(figures.stopbandPeakDb, SideFigures(edges));
}

const std::vector<double> kDefault = fir::blackmanLowpassTaps(kFs, 150, 15);

// clang-format off
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
        // |H| = cos(pi f / fs) falls all the way to fs/2: an edge, but no maximum beyond it.
        AbsentCase{"NoMinimum", {0.5, 0.5}, kFs, FilterKind::Lowpass, 0, true, 1}),
    tables::rowName);
// clang-format on

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
    ASSERT_TRUE(figures.minus3dbHz.at(0).has_value());
    EXPECT_TRUE(bracketed(*figures.minus3dbHz[0], g / std::sqrt(2.0)));
    ASSERT_TRUE(figures.minus6dbHz.at(0).has_value());
    EXPECT_TRUE(bracketed(*figures.minus6dbHz[0], g / 2));
    EXPECT_TRUE(figures.stopbandPeakDb.at(0).has_value());
}

// Two equal taps: H = cos(pi f / fs) e^(-i pi f / fs), so the phase is -180 f / fs degrees.
// One tap one sample late: H = e^(-i 2 pi f / fs), the phase -360 f / fs wrapped to +-180.
TEST(ExactResponseAt, MagnitudeAndPhaseOfSimpleTables)
{
    struct Row {
        std::vector<double> taps;
        double hz, magnitude, phase;
    };
    // clang-format off
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
    // clang-format on
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
    // clang-format off
    const std::vector<std::pair<std::vector<double>, std::pair<double, double>>> rows = {
        {kDefault, {kNaN, 100}}, {kDefault, {0, 100}},    {kDefault, {-kFs, 100}},
        {kDefault, {kFs, kNaN}}, {kDefault, {kFs, kInf}}, {{1, kNaN}, {kFs, 100}},
        {{1, kInf}, {kFs, 100}},
    };
    // clang-format on
    for (const auto& [taps, input] : rows) {
        const ExactResponse response = exactResponseAt(taps, input.first, input.second);
        EXPECT_TRUE(std::isnan(response.magnitude) && std::isnan(response.phaseDeg))
            << input.first << " Hz sampling, " << input.second << " Hz";
    }
}

} // namespace
} // namespace dsp
