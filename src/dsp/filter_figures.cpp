#include "dsp/filter_figures.h"

#include "dsp/response_grid.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>
#include <utility>

namespace dsp {

namespace {

// 64 grid points per tap over 0..fs keeps every lobe of |H| (some fs/N wide) many points wide,
// so the scan does not step over a crossing.
constexpr std::size_t kGridPointsPerTap = 64;
constexpr std::size_t kSmallestGrid = 1024; // short tables are cheap to sample finer
// Bisection stops once the crossing is bracketed this closely, in cycles per sample.
constexpr double kCrossingWidth = 1e-7;
// Golden-section steps about a grid peak: they shrink its bracket of two grid steps to 0.5%.
constexpr int kPeakSteps = 11;
// Grid peaks within 1% of the highest are refined, up to eight of them.
constexpr std::size_t kRefinedPeaks = 8;
constexpr double kNearlyAsHigh = 0.99;

std::size_t gridSize(std::size_t taps)
{
    std::size_t size = kSmallestGrid;
    while (size < kGridPointsPerTap * taps)
        size *= 2;
    return size;
}

// |H| of the scaled taps on the grid x = i / size, i = 0 .. last, and exactly anywhere.
class Response {
public:
    explicit Response(std::vector<double> taps)
        : m_taps(std::move(taps)), m_size(gridSize(m_taps.size())),
          m_grid(gridMagnitudes(m_taps, m_size))
    {
    }
    double exact(double x) const { return std::abs(exactSum(m_taps, x)); }
    double grid(std::ptrdiff_t i) const { return m_grid[static_cast<std::size_t>(i)]; }
    double x(std::ptrdiff_t i) const { return static_cast<double>(i) / m_size; }
    std::ptrdiff_t last() const { return static_cast<std::ptrdiff_t>(m_size / 2); }
    bool holds(std::ptrdiff_t i) const { return i >= 0 && i <= last(); }
    // The first grid index strictly beyond x going up (direction 1) or down (-1).
    std::ptrdiff_t firstBeyond(double x, int direction) const
    {
        const double position = x * static_cast<double>(m_size);
        return static_cast<std::ptrdiff_t>(direction > 0 ? std::floor(position) + 1
                                                         : std::ceil(position) - 1);
    }

private:
    std::vector<double> m_taps;
    std::size_t m_size;
    std::vector<double> m_grid;
};

// Narrows a bracket about a crossing of `level` on the exact sum: |H| >= level at `above`,
// below it at `below`.
double bisect(const Response& response, double above, double below, double level)
{
    while (std::abs(below - above) > kCrossingWidth) {
        const double middle = (above + below) / 2;
        (response.exact(middle) < level ? below : above) = middle;
    }
    return (above + below) / 2;
}

enum class Through { Falling, Rising };

// The first crossing of `level` going from `from` to `to` (cycles per sample) over the grid
// points between them and then `to` itself: where |H| falls below the level, or comes back up
// to it.
std::optional<double> crossing(const Response& response, double from, double to, double level,
                               Through through)
{
    const int direction = to > from ? 1 : -1;
    double previousX = from;
    double previous = response.exact(from);
    const auto step = [&](double x, double value) -> std::optional<double> {
        if (through == Through::Falling && previous >= level && value < level)
            return bisect(response, previousX, x, level);
        if (through == Through::Rising && previous < level && value >= level)
            return bisect(response, x, previousX, level);
        previousX = x;
        previous = value;
        return std::nullopt;
    };
    for (std::ptrdiff_t i = response.firstBeyond(from, direction);
         response.holds(i) && (response.x(i) - to) * direction < 0; i += direction) {
        if (const auto found = step(response.x(i), response.grid(i)))
            return found;
    }
    return to == from ? std::nullopt : step(to, response.exact(to));
}

// The largest |H| near grid point i, by golden section on the exact sum between the grid
// points either side.
double refinePeak(const Response& response, std::ptrdiff_t i)
{
    double low = response.x(std::max<std::ptrdiff_t>(0, i - 1));
    double high = response.x(std::min(response.last(), i + 1));
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double best = response.exact(response.x(i));
    for (int step = 0; step < kPeakSteps && low < high; ++step) {
        const double a = high - ratio * (high - low);
        const double b = low + ratio * (high - low);
        const double valueA = response.exact(a);
        const double valueB = response.exact(b);
        best = std::max({best, valueA, valueB});
        (valueA < valueB ? low : high) = valueA < valueB ? a : b;
    }
    return best;
}

// Whether grid point i is a local maximum of |H|: |H| is even about 0 and about fs/2, so the
// ends are too where their neighbour lies lower. Of a flat top only its last point counts.
bool isPeak(const Response& response, std::ptrdiff_t i)
{
    const auto at = [&](std::ptrdiff_t j) {
        return response.grid(j < 0 ? -j : j > response.last() ? 2 * response.last() - j : j);
    };
    return at(i - 1) <= at(i) && at(i + 1) < at(i);
}

// The largest local maximum of |H| from `low` to `high` (cycles per sample; either end counts
// only where it is 0 or 1/2). Grid peaks that come close to the largest are refined on the
// exact sum, a few at most, so that near-equal lobes are told apart.
std::optional<double> peakWithin(const Response& response, double low, double high)
{
    std::vector<std::ptrdiff_t> peaks;
    for (std::ptrdiff_t i = response.firstBeyond(low, 1) - (low == 0 ? 1 : 0);
         response.holds(i) && (response.x(i) < high || (high == 0.5 && i == response.last()));
         ++i) {
        if (isPeak(response, i))
            peaks.push_back(i);
    }
    if (peaks.empty())
        return std::nullopt;
    const auto byHeight = [&](auto a, auto b) { return response.grid(a) > response.grid(b); };
    std::sort(peaks.begin(), peaks.end(), byHeight);
    double largest = 0;
    for (std::size_t p = 0; p < std::min(peaks.size(), kRefinedPeaks); ++p) {
        if (response.grid(peaks[p]) < kNearlyAsHigh * response.grid(peaks.front()))
            break;
        largest = std::max(largest, refinePeak(response, peaks[p]));
    }
    return largest;
}

std::optional<double> referenceX(FilterKind kind, double centreX)
{
    switch (kind) {
    case FilterKind::Lowpass:
    case FilterKind::Bandstop:
        return 0.0;
    case FilterKind::Highpass:
        return 0.5;
    case FilterKind::Bandpass:
        if (centreX >= 0 && centreX <= 0.5)
            return centreX;
        return std::nullopt;
    }
    return std::nullopt;
}

// One way out of the reference frequency to the end of the range, finding one edge.
struct Side {
    double start;
    double end;
};

// The ways out of the reference, in the order of the edges they find.
std::vector<Side> sidesOf(FilterKind kind, double reference)
{
    switch (kind) {
    case FilterKind::Lowpass:
        return {{0, 0.5}};
    case FilterKind::Highpass:
        return {{0.5, 0}};
    case FilterKind::Bandpass:
        return {{reference, 0}, {reference, 0.5}};
    case FilterKind::Bandstop:
        return {{0, 0.5}, {0.5, 0}};
    }
    return {};
}

struct Edge {
    std::optional<double> minus3db, minus6db; // cycles per sample
    std::optional<double> nine, one;          // the 0.9 G and 0.1 G points
};

Edge measureEdge(const Response& response, const Side& side, double gain)
{
    Edge edge;
    edge.minus3db = crossing(response, side.start, side.end, gain / std::numbers::sqrt2,
                             Through::Falling);
    edge.minus6db = crossing(response, side.start, side.end, gain / 2, Through::Falling);
    if (edge.minus6db) {
        edge.nine = crossing(response, *edge.minus6db, side.start, 0.9 * gain, Through::Rising);
        edge.one = crossing(response, *edge.minus6db, side.end, 0.1 * gain, Through::Falling);
    }
    return edge;
}

// The largest |H| of the stop band that starts at `edge`'s 0.1 G point and runs along `side`
// to `end`; none where the edge or its 0.1 G point does not exist.
std::optional<double> stopBandPeak(const Response& response, const Edge& edge, double end)
{
    if (!edge.one)
        return std::nullopt;
    return peakWithin(response, std::min(*edge.one, end), std::max(*edge.one, end));
}

// The peaks of the stop bands, in frequency order (see FilterFigures::stopbandPeakDb).
std::vector<std::optional<double>> stopBandPeaks(const Response& response, FilterKind kind,
                                                 const std::vector<Side>& sides,
                                                 const std::vector<Edge>& edges)
{
    if (kind != FilterKind::Bandstop) {
        std::vector<std::optional<double>> peaks;
        for (std::size_t s = 0; s < sides.size(); ++s)
            peaks.push_back(stopBandPeak(response, edges[s], sides[s].end));
        return peaks;
    }
    // Without an upper edge the band runs up to fs/2; an upper edge without a 0.1 G point
    // bounds a band that never went below it.
    const Edge& upper = edges[1];
    if (upper.minus6db && !upper.one)
        return {std::nullopt};
    return {stopBandPeak(response, edges[0], upper.one.value_or(0.5))};
}

std::optional<double> finite(double value)
{
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

std::optional<double> hertz(std::optional<double> x, double samplingHz)
{
    return x ? finite(*x * samplingHz) : std::nullopt;
}

void collect(FilterFigures& out, const std::vector<Edge>& edges, double samplingHz)
{
    for (std::size_t e = 0; e < edges.size(); ++e) {
        const Edge& edge = edges[e];
        out.minus3dbHz[e] = hertz(edge.minus3db, samplingHz);
        out.minus6dbHz[e] = hertz(edge.minus6db, samplingHz);
        if (edge.nine && edge.one)
            out.transitionHz[e] = hertz(std::abs(*edge.one - *edge.nine), samplingHz);
    }
}

FilterFigures noFigures(FilterKind kind)
{
    const SideFigures edges(edgeCount(kind));
    return {std::nullopt, edges, edges, edges, SideFigures(stopBandCount(kind))};
}

} // namespace

std::size_t edgeCount(FilterKind kind)
{
    return kind == FilterKind::Bandpass || kind == FilterKind::Bandstop ? 2 : 1;
}

std::size_t stopBandCount(FilterKind kind) { return kind == FilterKind::Bandpass ? 2 : 1; }

FilterFigures measureFilter(const std::vector<double>& taps, double samplingHz, FilterKind kind,
                            double centreHz)
{
    FilterFigures figures = noFigures(kind);
    if (!(samplingHz > 0 && std::isfinite(samplingHz)) || taps.size() > kMaxMeasuredTaps)
        return figures;
    const std::optional<ScaledTaps> scaled = scaledTaps(taps);
    const std::optional<double> reference = referenceX(kind, centreHz / samplingHz);
    if (!scaled || !reference)
        return figures;
    const Response response(scaled->taps);
    const double gain = response.exact(*reference);
    if (!(gain > 0))
        return figures;
    figures.referenceGain = finite(std::ldexp(gain, scaled->exponent));
    const std::vector<Side> sides = sidesOf(kind, *reference);
    std::vector<Edge> edges;
    for (const Side& side : sides)
        edges.push_back(measureEdge(response, side, gain));
    collect(figures, edges, samplingHz);
    const auto peaks = stopBandPeaks(response, kind, sides, edges);
    for (std::size_t b = 0; b < peaks.size(); ++b) {
        if (peaks[b] && *peaks[b] > 0)
            figures.stopbandPeakDb[b] = finite(20 * std::log10(*peaks[b] / gain));
    }
    return figures;
}

ExactResponse exactResponseAt(const std::vector<double>& taps, double samplingHz,
                              double frequencyHz)
{
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const double x = frequencyHz / samplingHz;
    if (!(samplingHz > 0 && std::isfinite(samplingHz) && std::isfinite(x)))
        return {kNaN, kNaN};
    for (double tap : taps) {
        if (!std::isfinite(tap))
            return {kNaN, kNaN};
    }
    const std::optional<ScaledTaps> scaled = scaledTaps(taps);
    if (!scaled)
        return {0, 0};
    const std::complex<double> h = exactSum(scaled->taps, x);
    // Adding 0 turns an imaginary part of -0 into +0, so a negative real H reads 180, not -180.
    return {std::ldexp(std::abs(h), scaled->exponent),
            std::atan2(h.imag() + 0.0, h.real()) * (180 / std::numbers::pi)};
}

} // namespace dsp
