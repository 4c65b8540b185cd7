#pragma once

#include "dsp/export_formats.h"
#include "dsp/fir_response.h"

#include <vector>

// The filter screens' response in numbers, as a table or under the pointer.
namespace dsp::fir {

// One row per point of the sweep the traces were drawn from: the frequency u fs / N, the
// magnitude A of the linear trace, A in decibels (20 log10 A; the logarithmic trace draws the
// same less 20 log10 of its reference, dsp::fir::logReference), and the phase trace's angle.
std::vector<ResponseRow> responseTable(const std::vector<ResponsePoint>& sweep,
                                       const std::vector<double>& taps, double samplingHz);

// The frequency under a canvas x of the response plot (dsp::responseHzAtX).
double frequencyAtX(double x, double samplingHz);

// 20 log10 of a magnitude: minus infinity for 0.
double decibels(double magnitude);

} // namespace dsp::fir
