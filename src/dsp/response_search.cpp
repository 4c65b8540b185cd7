#include "dsp/response_search.h"

#include "dsp/response_grid.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace dsp::responsesearch {

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

} // namespace

Response::Response(std::vector<double> taps)
    : m_taps(std::move(taps)), m_size(gridSize(m_taps.size())),
      m_grid(gridMagnitudes(m_taps, m_size))
{
}

double Response::exact(double x) const { return std::abs(exactSum(m_taps, x)); }

std::ptrdiff_t Response::firstBeyond(double x, int direction) const
{
    const double position = x * static_cast<double>(m_size);
    return static_cast<std::ptrdiff_t>(direction > 0 ? std::floor(position) + 1
                                                     : std::ceil(position) - 1);
}

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

} // namespace dsp::responsesearch
