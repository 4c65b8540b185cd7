#pragma once

#include "dsp/curve_row.h"

#include <optional>
#include <vector>

namespace dsp {

// The value of a curve at a time between its points, which the screen joins by straight lines;
// rows in ascending time. None before the first point, after the last, for no points, or at a
// time that is not finite.
std::optional<double> valueAtTime(const std::vector<CurveRow>& rows, double time);

} // namespace dsp
