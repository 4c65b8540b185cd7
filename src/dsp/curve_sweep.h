#pragma once

#include "dsp/plot.h"

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

// Where the synthesis screens draw: a sum of 1 (the series written with amplitude A = 1) lies
// kCurveAmplitude units above the graticule's middle line, canvas y growing downwards.
inline constexpr double kCurveAmplitude = 63;
inline constexpr double kCurveZeroLine = 196;
inline constexpr double kGraticuleRightEdge = 478;

// One screen's sweep: t = 0, then t += step (repeated addition, so t carries the rounding of
// every addition as the screens' loops do) while t <= lastTime and, on the screens that clip,
// while the point stays left of the graticule's right edge.
struct Sweep {
    double step;
    double lastTime;
    double xAtZero;
    double xPerRadian;
    bool clipsAtRightEdge;

    constexpr double xAt(double t) const { return xPerRadian * t + xAtZero; }
};

inline constexpr Sweep kSquareSweep{0.02, 4 * kPi, 10, 37, false};
// The triangle and the sawtooth.
inline constexpr Sweep kWideSweep{0.02, 4 * kPi, 8, 63, true};
// Both rectified sines.
inline constexpr Sweep kRectifiedSweep{0.04, 8 * kPi, 8, 19, true};
inline constexpr Sweep kPulseSweep{0.02, 7.85 * kPi, 9, 19, false};

// The times of the sweep's points, in order.
std::vector<double> sweepTimes(const Sweep& sweep);

// The pen placed at `start`, then one point (sweep.xAt(times[i]), ys[i]) per time.
Curve traceCurve(PlotPoint start, const Sweep& sweep, const std::vector<double>& times,
                 const std::vector<double>& ys);
// The same with y worked out at each time of the sweep.
Curve traceCurve(PlotPoint start, const Sweep& sweep, const std::function<double(double)>& yAt);

} // namespace dsp
