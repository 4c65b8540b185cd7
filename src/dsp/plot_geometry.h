#pragma once

#include "dsp/plot.h"

// Where the screens draw, in logical canvas units (x across, y down): the graticule, the filter
// screens' response and tap plots, the synthesis curves' axes and the spectrum's lines. The
// maths that computes the points, the screens that draw them, the read-outs under the pointer and
// the exports all take the plot from here.
//
// Each mapping is one expression in the order the screens evaluate it, so every user gets the
// same doubles; dsplab_core hands its -ffp-contract=off on to whoever includes it, so no
// multiply is fused with an add here either.
namespace dsp {

// ---- The canvas --------------------------------------------------------------------------

inline constexpr double kCanvasWidth = 640;
inline constexpr double kCanvasHeight = 480;

// ---- The graticule ------------------------------------------------------------------------

// 10 x 8 divisions of 47 units: x 8 to 478, y 8 to 384. The outer lines are the frame.
inline constexpr int kGraticuleLeft = 8;
inline constexpr int kGraticuleTop = 8;
inline constexpr int kGraticuleDivision = 47;
inline constexpr int kGraticuleColumns = 10;
inline constexpr int kGraticuleRows = 8;
inline constexpr int kGraticuleRight = kGraticuleLeft + kGraticuleColumns * kGraticuleDivision;
inline constexpr int kGraticuleBottom = kGraticuleTop + kGraticuleRows * kGraticuleDivision;
// The line halfway down: zero of the synthesis curves, of the phase trace and of the tap plot.
inline constexpr int kGraticuleMiddleY = kGraticuleTop + kGraticuleRows / 2 * kGraticuleDivision;

// The vertical line `line` (0 to kGraticuleColumns) and the horizontal one (0 to kGraticuleRows).
constexpr int graticuleLineX(int line) { return kGraticuleLeft + line * kGraticuleDivision; }
constexpr int graticuleLineY(int line) { return kGraticuleTop + line * kGraticuleDivision; }

// ---- The filter screens' response plot ----------------------------------------------------

// 0 Hz at x = 10, fs/2 on the graticule's right edge, over the graticule's full height.
inline constexpr double kResponseZeroHzX = 10;
inline constexpr double kResponseHalfSamplingX = kGraticuleRight;
inline constexpr double kResponseWidth = kResponseHalfSamplingX - kResponseZeroHzX;

// The x of the frequency binIndex fs / N: N/2 bins span the plot's width, 2 width / N a bin.
constexpr double responseXAtBin(double binIndex, int taps)
{
    return kResponseZeroHzX + binIndex * (2 * kResponseWidth) / taps;
}

// The frequency under a canvas x.
constexpr double responseHzAtX(double x, double samplingHz)
{
    return (x - kResponseZeroHzX) / kResponseWidth * samplingHz / 2;
}

// Linear trace: magnitude 0 on y = 380, magnitude 1 `scale` units higher.
inline constexpr double kLinearTraceZeroY = 380;

constexpr double linearTraceYAt(double magnitude, double scaleUnits)
{
    return kLinearTraceZeroY - scaleUnits * magnitude;
}

// Logarithmic trace: the reference level on y = 89, three units a decibel (60 a decade of
// magnitude), nothing below the floor on the graticule's bottom edge.
inline constexpr double kLogTraceTopY = 89;
inline constexpr double kLogTraceUnitsPerDecade = 60;
inline constexpr double kLogTraceFloorY = kGraticuleBottom;
// The floor as a level below the reference, in units: -295.
inline constexpr double kLogTraceFloorLevel = kLogTraceTopY - kLogTraceFloorY;

constexpr double logTraceYAtLevel(double levelUnits) { return kLogTraceTopY - levelUnits; }

// Phase trace: 0 degrees on the middle line, 1.275 degrees a unit, so +-180 degrees fall near the
// graticule lines 55 and 337.
inline constexpr double kPhaseTraceZeroY = kGraticuleMiddleY;
inline constexpr double kPhaseTraceDegreesPerUnit = 1.275;

constexpr double phaseTraceYAt(double degrees)
{
    return kPhaseTraceZeroY - degrees / kPhaseTraceDegreesPerUnit;
}

namespace fir {

// Linear trace scales: unity gain 280 units above y = 380 on the lowpass and highpass screens;
// the bandpass screen shows its gain of about one half 300 units up, the bandstop unity at 300.
inline constexpr double kLinearScale = 280;
inline constexpr double kBandpassLinearScale = 600;
inline constexpr double kBandstopLinearScale = 300;

} // namespace fir

// ---- The rectangular screen's tap plot ----------------------------------------------------

// N slots across the response plot's width, 468 / (N + 1) apart; the centre tap stands
// 185 units above the middle line.
inline constexpr double kTapPlotLeft = kResponseZeroHzX;
inline constexpr double kTapPlotSpan = kResponseWidth;
inline constexpr double kTapPlotZeroY = kGraticuleMiddleY;
inline constexpr double kTapPlotCentreHeight = 185;

constexpr double tapPlotSpacing(int taps) { return kTapPlotSpan / (taps + 1); }

// Slot 0's x: for even N half a slot further right, so the centre slot lands on x = 244 either
// way.
constexpr double tapPlotOrigin(int taps)
{
    return taps % 2 == 1 ? kTapPlotLeft : kTapPlotLeft + tapPlotSpacing(taps) / 2;
}

// G: the units a tap value of 1 stands, which puts the centre tap M / N on top.
constexpr double tapPlotGain(int bins, int taps)
{
    return kTapPlotCentreHeight / (static_cast<double>(bins) / taps);
}

constexpr PlotPoint tapPlotPoint(int slot, int taps, double heightUnits)
{
    return {tapPlotOrigin(taps) + slot * tapPlotSpacing(taps), kTapPlotZeroY - heightUnits};
}

// ---- The synthesis curves -----------------------------------------------------------------

// A sum of 1 (the series written with amplitude A = 1) lies kCurveAmplitude units above the
// graticule's middle line: y = 196 - 63 value.
inline constexpr double kCurveAmplitude = 63;
inline constexpr double kCurveZeroLine = kGraticuleMiddleY;

constexpr double curveYAt(double value) { return kCurveZeroLine - kCurveAmplitude * value; }

// One screen's time axis, x = xAtZero + xPerRadian t: t = 0, then t += step (repeated addition,
// so t carries the rounding of every addition as the screens' loops do) while t <= lastTime and,
// on the screens that clip, while the point stays left of the graticule's right edge.
struct Sweep {
    double step;
    double lastTime;
    double xAtZero;
    double xPerRadian;
    bool clipsAtRightEdge;

    constexpr double xAt(double t) const { return xPerRadian * t + xAtZero; }
    constexpr bool endsBefore(double t) const
    {
        return clipsAtRightEdge && xAt(t) > kGraticuleRight;
    }
};

// x = 10 + 37 t up to t = 4 pi.
inline constexpr Sweep kSquareSweep{0.02, 4 * kPi, 10, 37, false};
// The triangle and the sawtooth: x = 8 + 63 t up to the right edge.
inline constexpr Sweep kWideSweep{0.02, 4 * kPi, kGraticuleLeft, 63, true};
// Both rectified sines: x = 8 + 19 t in steps of 0.04 up to the right edge.
inline constexpr Sweep kRectifiedSweep{0.04, 8 * kPi, kGraticuleLeft, 19, true};
// x = 9 + 19 t up to t = 7.85 pi.
inline constexpr Sweep kPulseSweep{0.02, 7.85 * kPi, 9, 19, false};

// ---- The spectrum screen ------------------------------------------------------------------

// Lines stand on the axis y = 300; the full-scale tick, a line of the wave's peak amplitude,
// is 200 units above it. The dc line is at x = 30 and harmonic k at 30 + spacing k.
inline constexpr double kSpectrumAxisY = 300;
inline constexpr double kSpectrumFullScale = 200;
inline constexpr double kSpectrumAxisLeft = 28;
inline constexpr double kSpectrumAxisRight = 590;
inline constexpr double kSpectrumAxisTopY = 30;
inline constexpr double kSpectrumTickLeft = 25;
inline constexpr double kSpectrumTickRight = 35;
inline constexpr double kSpectrumDcX = 30;
// Units a harmonic: 10 where the even harmonics show as markers between the odd ones, 20 where
// every harmonic has a line.
inline constexpr double kSpectrumOddSpacing = 10;
inline constexpr double kSpectrumEverySpacing = 20;

// Harmonic k's x, the spacing squeezed by `squeeze` (see spacingFactor).
constexpr double spectrumLineX(double spacingUnits, int harmonic, double squeeze = 1)
{
    return kSpectrumDcX + spacingUnits * harmonic * squeeze;
}

// The top of a line `heightUnits` tall.
constexpr double spectrumTopY(double heightUnits) { return kSpectrumAxisY - heightUnits; }

} // namespace dsp
