#pragma once

#include "dsp/plot.h"
#include "dsp/simd.h"

#include <vector>

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

// The curves of the synthesis screens for a whole harmonic count (0 to 32767; a negative count is
// taken as 0). Each sweeps its time axis from t = 0, t growing by repeated addition of its step.
//
// Odd harmonics 1, 3, ..., 2N - 1 of a square wave, t = 0 to 4 pi in steps of 0.02, x = 37 t + 10.
Curve squareWaveCurve(int harmonics);
// Odd cosine harmonics 1, 3, ..., 2N - 1 with 1/n^2 amplitudes; x = 63 t + 8 up to x = 478.
Curve triangleWaveCurve(int harmonics);
// Harmonics 1 to N of a falling ramp; x = 63 t + 8 up to x = 478.
Curve sawtoothWaveCurve(int harmonics);
// |sin(t/2)|: dc and harmonics 1 to N; t in steps of 0.04, x = 8 + 19 t up to x = 478.
Curve fullWaveRectifiedCurve(int harmonics);
// Half-wave rectified cosine: dc, the fundamental and, for N >= 2, the even harmonics 2 to 2N.
Curve halfWaveRectifiedCurve(int harmonics);
// Pulse train of duty cycle D (0 to 1) centred on t = 0: dc and harmonics 1 to N, t = 0 to
// 7.85 pi in steps of 0.02, x = 9 + 19 t.
Curve pulseTrainCurve(int harmonics, double dutyCycle);

// The same curves summed with the vector width of `level`, whatever DSPLAB_SIMD says (see
// dsp/simd.h); every level gives the same bits. The plain forms above use simd::active().
Curve squareWaveCurveUsing(int harmonics, simd::Level level);
Curve triangleWaveCurveUsing(int harmonics, simd::Level level);
Curve sawtoothWaveCurveUsing(int harmonics, simd::Level level);
Curve fullWaveRectifiedCurveUsing(int harmonics, simd::Level level);
Curve halfWaveRectifiedCurveUsing(int harmonics, simd::Level level);
Curve pulseTrainCurveUsing(int harmonics, double dutyCycle, simd::Level level);

// The same curves summed term by term, as the formulas are written: every term evaluates its own
// sine or cosine, terms are added in ascending n from 0. Slow (the whole curve costs points x
// harmonics trigonometric calls); the reference for the curves above.
namespace direct {

Curve squareWaveCurve(int harmonics);
Curve triangleWaveCurve(int harmonics);
Curve sawtoothWaveCurve(int harmonics);
Curve fullWaveRectifiedCurve(int harmonics);
Curve halfWaveRectifiedCurve(int harmonics);
Curve pulseTrainCurve(int harmonics, double dutyCycle);

// The y coordinate of each curve at one time t, for checking single points of large sums.
double squareWaveY(int harmonics, double t);
double triangleWaveY(int harmonics, double t);
double sawtoothWaveY(int harmonics, double t);
double fullWaveRectifiedY(int harmonics, double t);
double halfWaveRectifiedY(int harmonics, double t);
double pulseTrainY(int harmonics, double dutyCycle, double t);

} // namespace direct

} // namespace dsp
