#pragma once

#include "dsp/wave_units.h"

#include <string>
#include <vector>

// A synthesised wave, sampled, sent through a design's taps: the samples in and out, and each
// harmonic's amplitude in, the design's gain there and the amplitude out.
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
    double periods = 2; // how much of the wave the sample rows cover
};

// The most sample rows: at some 32767 harmonics a row costs that many terms.
inline constexpr int kMostThroughSamples = 4096;

enum class ThroughStatus {
    Done,
    NoTaps,
    NotFinite, // a tap that is not finite
    TooMany,   // more than kMostTaps taps
    BadWave,   // a frequency or the periods not finite and positive, or a pulse's duty cycle
               // not finite
};

struct ThroughSample {
    int n = 0;
    double timeS = 0;
    double input = 0;
    double output = 0;
};

// One term of the wave's series (0: the dc level). input is the magnitude of its coefficient,
// gain |H(k f0 / fs)| with the exact pi, output = input * gain.
struct ThroughHarmonic {
    int harmonic = 0;
    double frequencyHz = 0;
    double input = 0;
    double gain = 0;
    double output = 0;
};

struct WaveThroughFilter {
    ThroughStatus status = ThroughStatus::Done;
    // Rows n = 0, 1, ... for `periods` periods of the fundamental and the sample after them (at
    // most kMostThroughSamples). Every output is the whole steady-state sum
    // sum_k h[k] input[n - k], the inputs before row 0 summed from the series as well.
    std::vector<ThroughSample> samples;
    std::vector<ThroughHarmonic> harmonics; // the terms below fs/2, in the series' order
    int harmonicsLeftOut = 0;               // the terms at or above fs/2, not sampled
    // (N - 1) / 2: how far a symmetric design's output lags; a plot shifts it back by this.
    double delaySamples = 0;
};

WaveThroughFilter waveThroughFilter(const std::vector<double>& taps, const SampledWave& wave);

// CSV, 17 significant digits, locale-free (dsp/export_formats.h).
// `n,time_s,input,output`
std::string formatThroughSamplesCsv(const WaveThroughFilter& through);
// `harmonic,frequency_hz,input,gain,output`
std::string formatThroughHarmonicsCsv(const WaveThroughFilter& through);

} // namespace dsp
