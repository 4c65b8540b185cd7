#pragma once

#include "dsp/curve_sweep.h"

// The synthesis curves of dsp/series.h summed term by term, as the formulas are written: every
// term evaluates its own sine or cosine, terms are added in ascending n from 0. Slow (the whole
// curve costs points x harmonics trigonometric calls); the reference the fast curves are tested
// and timed against, kept out of the program.
namespace dsp::direct {

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

} // namespace dsp::direct
