#pragma once

#include "dsp/plot.h"

#include <vector>

// Windowed-sinc FIR design as the filter screens teach it. Every formula uses the five-decimal
// dsp::kPi and keeps the screens' order of evaluation, so the listed taps come out digit for digit
// as the screens list them (near-zero taps and unequal mirror taps included).
//
// Tap tables hold tap k (k = 1..N, tap 1 at time 0) in element k - 1.
namespace dsp::fir {

// M: the bins of width fs/N that the band from -fc to +fc covers, counted as
// 1 + whole part of (2 fc) / (fs / N).
int passbandBins(double cutoffHz, double samplingHz, int taps);

// m: the centre slot, (N + 1) / 2 rounded down; for even N the sinc peaks half a slot before the
// window does.
int centreTap(int taps);

// Blackman window value for slot k of N.
double blackmanWindow(int k, int taps);

// D: the N-point periodic sinc of a band of M bins around 0 Hz, at `distance` slots from the
// centre.
double periodicSinc(int distance, int bins, int taps);

// Lowpass, sinc simply truncated to N taps (no window). Each tap is stored as the tap plot's
// height h = G D divided by G again.
std::vector<double> rectangularLowpassTaps(double samplingHz, double cutoffHz, int taps);
// The values the rectangular screen lists: each tap's D computed afresh, which can differ from
// the stored h / G in the last digit.
std::vector<double> rectangularLowpassSincValues(double samplingHz, double cutoffHz, int taps);
// Lowpass, sinc shaped by the Blackman window.
std::vector<double> blackmanLowpassTaps(double samplingHz, double cutoffHz, int taps);
// Highpass: the Blackman lowpass for fs/2 - fc, modulated to fs/2 by cos(pi k).
std::vector<double> highpassTaps(double samplingHz, double cutoffHz, int taps);
// Bandpass: the Blackman lowpass for B/2, modulated to f0 by sin(2 pi k f0 / fs).
std::vector<double> bandpassTaps(double samplingHz, double bandwidthHz, double centreHz, int taps);
// Bandstop: the ideal band-reject response between f0 - B/2 and f0 + B/2, Blackman windowed.
std::vector<double> bandstopTaps(double samplingHz, double bandwidthHz, double centreHz, int taps);

// cmax: starts at 0 and is raised to each greater tap, so it is never negative.
double largestTap(const std::vector<double>& taps);

// The reference that the logarithmic trace measures against: cmax when a tap is positive.
// Designs whose taps are all negative (highpass with one tap, some bandpass designs) have
// cmax = 0; they are measured against their largest tap magnitude instead. Taps that are all
// zero give 1: every magnitude is then 0 and sits on the trace's floor, whatever the reference.
double logReference(const std::vector<double>& taps);

// The rectangular screen's tap plot: slot k at height G D above the plot's zero line, G = the
// centre height / (M / N) (dsp/plot_geometry.h: tapPlotPoint, tapPlotGain).
std::vector<PlotPoint> tapPlotPoints(double samplingHz, double cutoffHz, int taps);

// The value written at the top of the tap plot: M / N, the centre tap drawn there.
double tapPlotTopValue(double samplingHz, double cutoffHz, int taps);

} // namespace dsp::fir
