#include "dsp/curve_lookup.h"

#include <algorithm>
#include <cmath>

namespace dsp {

std::optional<double> valueAtTime(const std::vector<CurveRow>& rows, double time)
{
    if (rows.empty() || !std::isfinite(time) || time < rows.front().time || time > rows.back().time)
        return std::nullopt;
    const auto after = std::lower_bound(rows.begin(), rows.end(), time,
                                        [](const CurveRow& row, double t) { return row.time < t; });
    if (after->time == time || after == rows.begin())
        return after->value;
    const CurveRow& before = *std::prev(after);
    const double share = (time - before.time) / (after->time - before.time);
    return before.value + share * (after->value - before.value);
}

} // namespace dsp
