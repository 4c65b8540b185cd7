#include "dsp/response_table.h"

#include "dsp/plot_geometry.h"

#include <cmath>

namespace dsp::fir {

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

double frequencyAtX(double x, double samplingHz) { return responseHzAtX(x, samplingHz); }

double decibels(double magnitude) { return 20 * std::log10(magnitude); }

} // namespace dsp::fir
