#include "dsp/response_table.h"

#include <cmath>

namespace dsp::fir {
namespace {

// responseX's plot: 0 Hz at x = 10, fs/2 at x = 478.
constexpr double kZeroHzX = 10;
constexpr double kHalfSamplingX = 478;

} // namespace

std::vector<ResponseRow> responseTable(const std::vector<ResponsePoint>& sweep,
                                       const std::vector<double>& taps, double samplingHz)
{
    std::vector<ResponseRow> rows;
    rows.reserve(sweep.size());
    const double binHz = samplingHz / static_cast<double>(taps.size());
    for (const ResponsePoint& point : sweep) {
        const double a = magnitude(point);
        rows.push_back({point.u * binHz, a, decibels(a), phaseDegrees(point)});
    }
    return rows;
}

double frequencyAtX(double x, double samplingHz)
{
    return (x - kZeroHzX) / (kHalfSamplingX - kZeroHzX) * samplingHz / 2;
}

double decibels(double magnitude) { return 20 * std::log10(magnitude); }

} // namespace dsp::fir
