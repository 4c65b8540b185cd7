#include "dsp/curve_sweep.h"

#include <algorithm>
#include <cstddef>

namespace dsp {

std::vector<double> sweepTimes(const Sweep& sweep)
{
    std::vector<double> times;
    for (double t = 0; t <= sweep.lastTime; t += sweep.step) {
        if (sweep.endsBefore(t))
            break;
        times.push_back(t);
    }
    return times;
}

Curve traceCurve(PlotPoint start, const Sweep& sweep, const std::vector<double>& times,
                 const std::vector<double>& ys)
{
    Curve curve;
    curve.points.reserve(times.size() + 1);
    curve.points.push_back(start);
    for (std::size_t i = 0; i < times.size(); ++i)
        curve.points.push_back({sweep.xAt(times[i]), ys[i]});
    return curve;
}

Curve traceCurve(PlotPoint start, const Sweep& sweep, const std::function<double(double)>& yAt)
{
    const std::vector<double> times = sweepTimes(sweep);
    std::vector<double> ys(times.size());
    std::transform(times.begin(), times.end(), ys.begin(), yAt);
    return traceCurve(start, sweep, times, ys);
}

} // namespace dsp
