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
// Golden-section steps about a grid extreme: they shrink its bracket of two grid steps to 0.5%.
constexpr int kPeakSteps = 11;

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

// One way out of the reference frequency: where it starts (cycles per sample), which way it
// goes, and |H| at its start.
struct Side {
    double start;
    int direction;
    double startValue;
};

struct Crossing {
    double x;
    std::ptrdiff_t beyond; // the first grid index below the level
};

// Narrows a bracket around a fall through `level` on the exact sum.
double bisect(const Response& response, double above, double below, double level)
{
    while (std::abs(below - above) > kCrossingWidth) {
        const double middle = (above + below) / 2;
        (response.exact(middle) < level ? below : above) = middle;
    }
    return (above + below) / 2;
}

// The first place going along `side` where |H| falls from at least `level` to below it.
std::optional<Crossing> firstCrossing(const Response& response, const Side& side, double level)
{
    double previousX = side.start;
    double previousValue = side.startValue;
    for (std::ptrdiff_t i = response.firstBeyond(side.start, side.direction); response.holds(i);
         i += side.direction) {
        if (previousValue >= level && response.grid(i) < level)
            return Crossing{bisect(response, previousX, response.x(i), level), i};
        previousX = response.x(i);
        previousValue = response.grid(i);
    }
    return std::nullopt;
}

// The first grid point from `from` on where |H| stops falling; none if it falls to the end.
std::optional<std::ptrdiff_t> firstMinimum(const Response& response, std::ptrdiff_t from,
                                           int direction)
{
    for (std::ptrdiff_t i = from; response.holds(i + direction); i += direction) {
        if (response.grid(i + direction) > response.grid(i))
            return i;
    }
    return std::nullopt;
}

// The largest (sign 1) or smallest (sign -1) |H| near grid point i, by golden section on the
// exact sum between the grid points either side, kept within first..last.
double refineExtreme(const Response& response, std::ptrdiff_t i, std::ptrdiff_t first,
                     std::ptrdiff_t last, double sign)
{
    double low = response.x(std::max(first, i - 1));
    double high = response.x(std::min(last, i + 1));
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double best = sign * response.exact(response.x(i));
    for (int step = 0; step < kPeakSteps && low < high; ++step) {
        const double a = high - ratio * (high - low);
        const double b = low + ratio * (high - low);
        const double valueA = sign * response.exact(a);
        const double valueB = sign * response.exact(b);
        best = std::max({best, valueA, valueB});
        (valueA < valueB ? low : high) = valueA < valueB ? a : b;
    }
    return sign * best;
}

// The largest |H| from grid point first to last. A band of one point is a minimum that both
// edges of a bandstop found: its depth is taken.
double peakBetween(const Response& response, std::ptrdiff_t first, std::ptrdiff_t last)
{
    if (first == last)
        return refineExtreme(response, first, 0, response.last(), -1);
    std::ptrdiff_t top = first;
    for (std::ptrdiff_t i = first; i <= last; ++i) {
        if (response.grid(i) > response.grid(top))
            top = i;
    }
    return refineExtreme(response, top, first, last, 1);
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

// The ways out of the reference, in ascending order of the edges they find.
std::vector<Side> sidesOf(const Response& response, FilterKind kind, double reference)
{
    const auto side = [&](double start, int direction) {
        return Side{start, direction, response.exact(start)};
    };
    switch (kind) {
    case FilterKind::Lowpass:
        return {side(0, 1)};
    case FilterKind::Highpass:
        return {side(0.5, -1)};
    case FilterKind::Bandpass:
        return {side(reference, -1), side(reference, 1)};
    case FilterKind::Bandstop:
        return {side(0, 1), side(0.5, -1)};
    }
    return {};
}

struct SideFigures {
    std::optional<Crossing> minus3db, minus6db;
    std::optional<double> transition;      // cycles per sample
    std::optional<std::ptrdiff_t> minimum; // beyond the -6 dB crossing
};

SideFigures measureSide(const Response& response, const Side& side, double gain)
{
    SideFigures figures;
    figures.minus3db = firstCrossing(response, side, gain / std::numbers::sqrt2);
    figures.minus6db = firstCrossing(response, side, gain / 2);
    const auto nine = firstCrossing(response, side, 0.9 * gain);
    const auto one = firstCrossing(response, side, 0.1 * gain);
    if (nine && one)
        figures.transition = std::abs(one->x - nine->x);
    if (figures.minus6db)
        figures.minimum = firstMinimum(response, figures.minus6db->beyond, side.direction);
    return figures;
}

// The largest |H| over the stop bands (see FilterFigures::stopbandPeakDb); none without one.
std::optional<double> stopbandPeak(const Response& response, FilterKind kind,
                                   const std::vector<Side>& sides,
                                   const std::vector<SideFigures>& figures)
{
    if (kind == FilterKind::Bandstop) {
        if (!figures[0].minimum || !figures[1].minimum)
            return std::nullopt;
        const auto [first, last] = std::minmax(*figures[0].minimum, *figures[1].minimum);
        return peakBetween(response, first, last);
    }
    std::optional<double> peak;
    for (std::size_t s = 0; s < sides.size(); ++s) {
        if (!figures[s].minimum)
            continue;
        const std::ptrdiff_t from = *figures[s].minimum;
        const double value = sides[s].direction > 0 ? peakBetween(response, from, response.last())
                                                    : peakBetween(response, 0, from);
        peak = std::max(peak.value_or(0.0), value);
    }
    return peak;
}

std::optional<double> finite(double value)
{
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

void collect(FilterFigures& out, const std::vector<SideFigures>& sides, double samplingHz)
{
    for (const SideFigures& side : sides) {
        if (side.minus3db)
            out.minus3dbHz.push_back(side.minus3db->x * samplingHz);
        if (side.minus6db)
            out.minus6dbHz.push_back(side.minus6db->x * samplingHz);
        if (side.transition)
            out.transitionHz.push_back(*side.transition * samplingHz);
    }
    std::sort(out.minus3dbHz.begin(), out.minus3dbHz.end());
    std::sort(out.minus6dbHz.begin(), out.minus6dbHz.end());
}

} // namespace

FilterFigures measureFilter(const std::vector<double>& taps, double samplingHz, FilterKind kind,
                            double centreHz)
{
    FilterFigures figures;
    if (!(samplingHz > 0 && std::isfinite(samplingHz)) || taps.size() > kMaxMeasuredTaps)
        return figures;
    const std::optional<ScaledTaps> scaled = scaledTaps(taps);
    const std::optional<double> reference = referenceX(kind, centreHz / samplingHz);
    if (!scaled || !reference)
        return figures;
    const Response response(scaled->taps);
    const std::vector<Side> sides = sidesOf(response, kind, *reference);
    const double gain = sides.front().startValue; // every first side starts at the reference
    if (!(gain > 0))
        return figures;
    figures.referenceGain = finite(std::ldexp(gain, scaled->exponent));
    std::vector<SideFigures> sideFigures;
    for (const Side& side : sides)
        sideFigures.push_back(measureSide(response, side, gain));
    collect(figures, sideFigures, samplingHz);
    if (const auto peak = stopbandPeak(response, kind, sides, sideFigures); peak && *peak > 0)
        figures.stopbandPeakDb = finite(20 * std::log10(*peak / gain));
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
