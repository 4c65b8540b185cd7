#include "dsp/axis_ticks.h"

#include <algorithm>
#include <cmath>

namespace dsp {
namespace {

// The mantissas of the nice steps, in order.
constexpr double kMantissas[] = {1, 2, 5};

} // namespace

double niceStepAtLeast(double least)
{
    if (!(least > 0) || !std::isfinite(least))
        return 1;
    double power = std::pow(10.0, std::floor(std::log10(least)));
    for (;;) {
        for (double mantissa : kMantissas)
            // A hair of slack, so that 0.3 asks for 0.5 and not for the 1 a rounded power gives.
            if (mantissa * power >= least * (1 - 1e-12))
                return mantissa * power;
        power *= 10;
    }
}

double nextNiceStep(double step) { return niceStepAtLeast(step * (1 + 1e-9)); }

std::vector<double> ticksBetween(double from, double to, double step, int most)
{
    std::vector<double> ticks;
    if (!(step > 0) || !std::isfinite(from) || !std::isfinite(to))
        return ticks;
    const double low = std::min(from, to);
    const double high = std::max(from, to);
    // Ends that lie on a tick but miss it by rounding still get it.
    const double slack = step * 1e-9;
    const double first = std::ceil((low - slack) / step);
    const double last = std::floor((high + slack) / step);
    if (last - first + 1 > most)
        return ticks;
    for (double k = first; k <= last; ++k)
        ticks.push_back(k == 0 ? 0.0 : k * step);
    return ticks;
}

int decimalsForStep(double step)
{
    if (!(step > 0) || !std::isfinite(step))
        return 0;
    return std::max(0, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
}

} // namespace dsp
