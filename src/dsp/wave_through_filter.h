#pragma once

#include "dsp/sampled_wave.h"

#include <string>
#include <vector>

// A synthesised wave, sampled, sent through a design's taps: the samples in and out, and each
// harmonic's amplitude in, the design's gain there and the amplitude out.
namespace dsp {

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
