#pragma once

#include "dsp/plot_geometry.h"

#include <functional>
#include <vector>

// The time axes of the synthesis curves and how a curve is traced along one: shared by the fast
// sums and by the term-by-term sums the tests check them against.
namespace dsp {

// A synthesised curve as a screen draws it. points[0] is where the pen is placed (PSet); every
// later point is joined to the one before it (Line from the current point). So points.size() is
// one more than the number of steps of the time sweep: 1 + 629 for the square wave, 1 + 374 for
// the triangle and the sawtooth, 1 + 619 for the rectified sines, 1 + 1234 for the pulse train.
// Coordinates are logical canvas units in full double precision; the screen narrows them when it
// draws.
struct Curve {
    std::vector<PlotPoint> points;
};

// The screens' sweeps, Sweep and kSquareSweep to kPulseSweep, are part of the plot's
// description, dsp/plot_geometry.h.

// The times of the sweep's points, in order.
std::vector<double> sweepTimes(const Sweep& sweep);

// The pen placed at `start`, then one point (sweep.xAt(times[i]), ys[i]) per time.
Curve traceCurve(PlotPoint start, const Sweep& sweep, const std::vector<double>& times,
                 const std::vector<double>& ys);
// The same with y worked out at each time of the sweep.
Curve traceCurve(PlotPoint start, const Sweep& sweep, const std::function<double(double)>& yAt);

} // namespace dsp
