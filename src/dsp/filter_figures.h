#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// Measured figures of an FIR design, from its taps with the exact pi (the course's five-decimal
// dsp::kPi shapes the taps, not the measurement). The response of taps c[0..N-1], tap 1 at
// time 0, at frequency f and sampling rate fs is H(f) = sum c[k] e^(-i 2 pi k f / fs).
//
// A figure that cannot be computed (no crossing, G = 0, every tap 0, a tap or a frequency that
// is not finite, no taps, more than kMaxMeasuredTaps taps) is absent: nullopt, or missing from
// its list. No figure is ever NaN or infinite.
namespace dsp {

enum class FilterKind { Lowpass, Highpass, Bandpass, Bandstop };

struct FilterFigures {
    // G: |H(0)| for lowpass and bandstop, |H(fs/2)| for highpass, |H(centre)| for bandpass.
    std::optional<double> referenceGain;
    // Where |H| falls through G / sqrt(2) (resp. G / 2) at the edges of the band that holds the
    // reference frequency, ascending. Each is the first such crossing going away from the
    // reference: up from 0 (lowpass, bandstop), down from fs/2 (highpass, bandstop), both ways
    // from the centre (bandpass). Within 1e-6 fs.
    std::vector<double> minus3dbHz;
    std::vector<double> minus6dbHz;
    // For each edge in ascending order: the distance between its 0.9 G and 0.1 G crossings.
    std::vector<double> transitionHz;
    // 20 log10(largest |H| in the stop band / G). A stop band starts at the first local minimum
    // of |H| beyond an edge's -6 dB crossing, going away from the reference, and runs to 0 or
    // fs/2; the bandstop's lies between the minima beyond its two edges (when both find the same
    // minimum, the band is that point and its peak the minimum's depth). A minimum lies strictly
    // inside 0..fs/2: a response that falls all the way to the end of the range has none there.
    // With stop bands on both sides of a bandpass, the larger peak.
    std::optional<double> stopbandPeakDb;
};

// The measurement's grid costs 64 points per tap; longer tables are not measured.
inline constexpr std::size_t kMaxMeasuredTaps = 65536;

// `centreHz` is used by the bandpass only, and must lie within 0..fs/2.
FilterFigures measureFilter(const std::vector<double>& taps, double samplingHz, FilterKind kind,
                            double centreHz = 0);

struct ExactResponse {
    double magnitude; // |H|
    double phaseDeg;  // atan2(Im H, Re H) in degrees, in (-180, 180]
};

// H at one frequency, for a read-out under the pointer. No taps give 0 and 0 degrees. A tap
// that is not finite, a sampling rate that is not a finite positive number, or a frequency
// whose ratio to it is not finite gives NaN for both. A magnitude beyond the largest double is
// infinite, its phase still exact.
ExactResponse exactResponseAt(const std::vector<double>& taps, double samplingHz,
                              double frequencyHz);

} // namespace dsp
