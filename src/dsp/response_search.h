#pragma once

// The search on an FIR response that the filter figures are measured with: |H| sampled on a
// grid fine enough not to step over a lobe, with crossings and peaks then found exactly on the
// sum itself. Used by filter_figures.cpp.

#include <cstddef>
#include <optional>
#include <vector>

namespace dsp::responsesearch {

// |H| of the scaled taps on the grid x = i / size, i = 0 .. last, and exactly anywhere.
class Response {
public:
    explicit Response(std::vector<double> taps);
    double exact(double x) const;
    double grid(std::ptrdiff_t i) const { return m_grid[static_cast<std::size_t>(i)]; }
    double x(std::ptrdiff_t i) const { return static_cast<double>(i) / m_size; }
    std::ptrdiff_t last() const { return static_cast<std::ptrdiff_t>(m_size / 2); }
    bool holds(std::ptrdiff_t i) const { return i >= 0 && i <= last(); }
    // The first grid index strictly beyond x going up (direction 1) or down (-1).
    std::ptrdiff_t firstBeyond(double x, int direction) const;

private:
    std::vector<double> m_taps;
    std::size_t m_size;
    std::vector<double> m_grid;
};

enum class Through { Falling, Rising };

// The first crossing of `level` going from `from` to `to` (cycles per sample) over the grid
// points between them and then `to` itself: where |H| falls below the level, or comes back up
// to it.
std::optional<double> crossing(const Response& response, double from, double to, double level,
                               Through through);

// The largest local maximum of |H| from `low` to `high` (cycles per sample; either end counts
// only where it is 0 or 1/2). Grid peaks that come close to the largest are refined on the
// exact sum, a few at most, so that near-equal lobes are told apart.
std::optional<double> peakWithin(const Response& response, double low, double high);

} // namespace dsp::responsesearch
