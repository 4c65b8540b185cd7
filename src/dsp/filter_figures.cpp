#include "dsp/filter_figures.h"

#include <cmath>
#include <numbers>

namespace dsp {

FilterFigures measureFilter(const std::vector<double>&, double, FilterKind, double) { return {}; }

ExactResponse exactResponseAt(const std::vector<double>& taps, double samplingHz, double frequencyHz)
{
    double re = 0;
    double im = 0;
    for (std::size_t k = 0; k < taps.size(); ++k) {
        const double angle = -2 * std::numbers::pi * static_cast<double>(k) * frequencyHz / samplingHz;
        re += taps[k] * std::cos(angle);
        im += taps[k] * std::sin(angle);
    }
    return {std::hypot(re, im), std::atan2(im, re) * 180 / std::numbers::pi};
}

} // namespace dsp
