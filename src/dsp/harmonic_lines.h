#pragma once

#include "dsp/plot.h"
#include "dsp/wave_type.h"

#include <optional>
#include <string>
#include <vector>

namespace dsp {

// Squeezes the square, triangle, sawtooth and pulse spectra so that they end by x = 430 however
// many harmonics there are: 1 up to 20 harmonics, 20/N above.
double spacingFactor(int harmonics);

// The rectified screens' test of the first answer: only "F" and "f" mean full-wave.
bool isFullWave(const std::string& rectifyChoice);

// Everything the spectrum screen shows: its five captions and its drawing, stroke by stroke in
// drawing order. The axes (palette 11) and the full-scale tick (palette 12), width 1, come first;
// then the harmonic lines (palette 12, width 2, drawn from the top down to the axis),
// the black zero markers one unit above the axis (single points, palette 0, width 1) and the dc
// line (palette 9, width 2).
// One harmonic as the spectrum shows it: its number (0 for dc), where its line stands and its
// amplitude as drawn, in units of the full-scale tick (kSpectrumFullScale canvas units: a line of
// the wave's peak amplitude). A harmonic with no energy has a zero marker and amplitude 0.
// seriesAmplitude is the magnitude of the harmonic's coefficient in the series the curve sums
// (amplitude 1, dsp/series_coefficients.h). The two differ where the screen scales a line its own
// way: every line of the pulse train (half the series'), the rectified sines' dc lines and the
// full wave's first line.
struct SpectrumLine {
    int harmonic = 0;
    double x = 0;
    double amplitude = 0;
    double seriesAmplitude = 0;
};

struct SpectrumPlot {
    bool known = false; // the kind code was one of the five
    std::string label1 = "Label1";
    std::string label2 = "Label2";
    std::string label3 = "Label3";
    std::string label4 = "Label4";
    std::string label5;
    std::vector<Stroke> strokes;
    std::vector<SpectrumLine> lines; // in drawing order
};

// With no wave, the axes and the design captions only. dutyCycle is the pulse answer as typed: its
// value sets the lines (text that is not a number, the empty text of a cancelled prompt included,
// counts as 0) and the text itself goes into the caption. rectifyChoice picks full- or half-wave
// for "REC".
SpectrumPlot spectrumPlot(std::optional<WaveType> waveType, int harmonics,
                          const std::string& dutyCycle, const std::string& rectifyChoice);

// The harmonic whose line is nearest to x, if one is within half the spacing of the lines (and at
// least 3 units) of it.
std::optional<SpectrumLine> spectrumLineNear(const SpectrumPlot& plot, double x);

} // namespace dsp
