#pragma once

#include "dsp/curve_sweep.h"
#include "dsp/series_kernel.h"
#include "dsp/simd.h"

namespace dsp {

// The curves of the synthesis screens for a whole harmonic count (0 to 32767; a negative count is
// taken as 0). Each sweeps its time axis (dsp/plot_geometry.h) from t = 0, t growing by repeated
// addition of its step.
//
// Odd harmonics 1, 3, ..., 2N - 1 of a square wave, along kSquareSweep.
Curve squareWaveCurve(int harmonics);
// Odd cosine harmonics 1, 3, ..., 2N - 1 with 1/n^2 amplitudes, along kWideSweep.
Curve triangleWaveCurve(int harmonics);
// Harmonics 1 to N of a falling ramp, along kWideSweep.
Curve sawtoothWaveCurve(int harmonics);
// |sin(t/2)|: dc and harmonics 1 to N, along kRectifiedSweep.
Curve fullWaveRectifiedCurve(int harmonics);
// Half-wave rectified cosine: dc, the fundamental and, for N >= 2, the even harmonics 2 to 2N.
Curve halfWaveRectifiedCurve(int harmonics);
// Pulse train of duty cycle D (0 to 1) centred on t = 0: dc and harmonics 1 to N, along
// kPulseSweep.
Curve pulseTrainCurve(int harmonics, double dutyCycle);

// The same curves summed with the vector width of `level`, whatever DSPLAB_SIMD says (see
// dsp/simd.h); every level gives the same bits. The plain forms above use simd::active(). The
// term-by-term sums the tests hold them to are tests/support/direct_series.h.
Curve squareWaveCurveUsing(int harmonics, simd::Level level);
Curve triangleWaveCurveUsing(int harmonics, simd::Level level);
Curve sawtoothWaveCurveUsing(int harmonics, simd::Level level);
Curve fullWaveRectifiedCurveUsing(int harmonics, simd::Level level);
Curve halfWaveRectifiedCurveUsing(int harmonics, simd::Level level);
Curve pulseTrainCurveUsing(int harmonics, double dutyCycle, simd::Level level);

// The terms of the three curves that jump, as the curves sum them: canvas units
// (A = kCurveAmplitude), the five-decimal pi, a negative count taken as 0. The pulse train's dc
// term, 2 A D, is not among them.
// The overshoot figure (dsp/wave_units.h) searches these very sums.
HarmonicSeries squareSeries(int harmonics);
HarmonicSeries sawtoothSeries(int harmonics);
HarmonicSeries pulseSeries(int harmonics, double dutyCycle);

} // namespace dsp
