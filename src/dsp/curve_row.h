#pragma once

namespace dsp {

// One point of a synthesised curve in the series' own units: time in radians of the fundamental,
// value the series' sum (see dsp/wave_units.h).
struct CurveRow {
    double time, value;
};

} // namespace dsp
