#pragma once

#include "dsp/wave_units.h"

#include <vector>

// A synthesis screen's wave as samples in time: what the sound plays and what goes through a
// filter design. One place decides which terms a count sums and what each weighs.
namespace dsp {

// A wave as a synthesis screen builds it (dsp/series.h): the same harmonics for a count, the
// same coefficients (dsp/series_coefficients.h) at amplitude 1, on a fundamental of f0 Hz,
// sampled at fs Hz. Time t = 2 pi f0 n / fs radians of the fundamental at sample n.
struct SampledWave {
    Wave wave = Wave::Square;
    int harmonics = 0;    // as the screen counts them; taken into 0 .. 32767
    double dutyCycle = 0; // the pulse train's
    double fundamentalHz = 0;
    double samplingHz = 0;
    double periods = 2; // how many periods a table of the samples covers
};

// The harmonic numbers a curve of `harmonics` sums (0: the dc level), in the series' order.
std::vector<int> seriesTerms(Wave wave, int harmonics);

// The terms of the wave below fs/2, which sampling keeps, and how many lie at or above it.
struct KeptTerms {
    std::vector<int> kept;
    int leftOut = 0;
};
KeptTerms termsBelowHalfSampling(const SampledWave& wave);

// The wave at samples first, first + 1, ... (`count` of them), summing the `kept` terms with the
// curves' kernel.
std::vector<double> waveSamples(const SampledWave& wave, const std::vector<int>& kept, long first,
                                int count);

} // namespace dsp
