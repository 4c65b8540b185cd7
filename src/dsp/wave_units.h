#pragma once

#include "dsp/curve_row.h"
#include "dsp/curve_sweep.h"

#include <optional>
#include <utility>
#include <vector>

// The synthesis curves in the series' own units rather than canvas units, and how far a curve
// overshoots the wave it approximates.
//
// Units. Time t is in radians of the fundamental: the series are sums of sin(n t) and cos(n t).
// Value is the series' sum written with amplitude A = 1, as the screens' formulas are written
// with A; the screens draw A as kCurveAmplitude canvas units above the graticule's middle line
// (dsp::curveYAt) for every wave. x follows each wave's sweep (dsp/plot_geometry.h), from t = 0
// to the sweep's end:
//
//   Square               kSquareSweep      ideal wave +1 on (0, pi), -1 on (pi, 2 pi)
//   Triangle             kWideSweep        1 - 2 |t| / pi on (-pi, pi)
//   Sawtooth             kWideSweep        1 - t / pi on (0, 2 pi)
//   FullWaveRectified    kRectifiedSweep   |sin(t / 2)|
//   HalfWaveRectified    kRectifiedSweep   max(cos t, 0)
//   PulseTrain           kPulseSweep       2 for |t| < pi D, 0 elsewhere on (-pi, pi)
//
// The ideal waves repeat every 2 pi; D is the duty cycle. So the square and the sawtooth jump
// between -1 and +1, and the pulse train between 0 and 2 (its formula's dc term is 2 A D).
//
// The screens' five-decimal pi. The series' coefficients divide by dsp::kPi = 3.14159, so the
// square, sawtooth and pulse series converge to their ideal waves scaled by pi / kPi, about
// 1 + 8.4e-7 (the pulse train's edges also sit at +-kPi D instead of +-pi D, which moves no
// level). The overshoot figure measures against the exact ideal levels: the square's and the
// sawtooth's read high by 8.4e-7 of their peak, 5e-5 percentage points; a pulse train's, whose
// edges moved too, by up to some 1e-3 points (near duty cycle 1). Below any digit worth showing.
namespace dsp {

// The six synthesis curves (dsp/series.h). WaveType (dsp/wave_type.h) is the spectrum screen's
// five, with one entry for both rectified sines.
enum class Wave { Square, Triangle, Sawtooth, FullWaveRectified, HalfWaveRectified, PulseTrain };

// How a wave's canvas coordinates map to its own units: time t (radians of the fundamental) and
// value (the series' sum, amplitude 1 = the ideal wave's unit level, as the screens' formulas
// write it). x = xAtZero + xPerTime t, y = yAtZero + yPerValue value.
struct WaveAxes {
    double xAtZero;
    double xPerTime;
    double yAtZero;
    double yPerValue;
};

WaveAxes waveAxes(Wave wave);

// The time and the value under a canvas point, for a read-out under the pointer.
double timeAtX(Wave wave, double x);
double valueAtY(Wave wave, double y);

// The synthesised points of a curve in the series' units, in order. The pen's placing point
// (curve.points[0]) is left out: it is where the screen puts the pen, not a value of the sum (the
// pulse train's sits on the zero line though its sum starts high). The time of point k (from 0)
// is the double nearest k times the sweep's step (k / 50 for a step of 0.02).
std::vector<CurveRow> curveInSeriesUnits(Wave wave, const Curve& curve);

// The ideal wave's two levels where it jumps, lower first, in the series' units: -1 and 1 for the
// square and the sawtooth, 0 and 2 for a pulse train of duty cycle strictly between 0 and 1.
// Nothing for the waves that do not jump: the triangle, the rectified sines, and pulse trains
// that stay on one level (duty cycle 0 or 1, or outside 0 to 1).
std::optional<std::pair<double, double>> jumpLevels(Wave wave, double dutyCycle = 0);

// How far the sum of `harmonics` harmonics rises beyond the ideal wave's upper level, in percent
// of the ideal wave's jump: (highest value - upper) / (upper - lower) * 100. The sum is the one
// the curve draws (dsp/series.h), taken at its true highest point beside the jump(s), wherever
// that falls between the drawn points: the ripple beside a jump, about pi / N wide for N
// harmonics, is narrower than the sweep's step, 0.02, from 160 harmonics on. With many
// harmonics the figure tends to the Gibbs phenomenon's 8.949 % ((1/pi) Si(pi) - 1/2 of the
// jump): the square's from above, by 4.2 / N^2 points, the sawtooth's from below, by about
// 50 / (N + 1). A negative figure says how far the sum stays short of the level (a sawtooth of
// fewer than 5 harmonics). Beside a jump means on the upper level's side, within four ripples of
// it and no further than halfway to the next jump (pi / 2 for the square, pi for the sawtooth,
// the middle of the pulse), so that the single hump of a few harmonics counts too. Both of a
// pulse train's jumps border its upper level. Nothing where jumpLevels() gives nothing, or for
// fewer than 1 or more than 32767 harmonics (the most a screen draws).
std::optional<double> overshootPercent(Wave wave, int harmonics, double dutyCycle = 0);

} // namespace dsp
