#pragma once

#include <complex>
#include <cstddef>
#include <optional>
#include <vector>

// A tap table's response with the exact pi, for measuring a design rather than drawing it as
// the screens do (see fir_response.h for that): H(x) = sum c[k] e^(-i 2 pi k x), x in cycles
// per sample (f / fs), tap 1 at k = 0.
namespace dsp {

// The taps times a power of two that puts the largest magnitude in [0.5, 1): the sums below
// stay finite, the smallest taps keep their bits, and ratios of magnitudes are unchanged.
struct ScaledTaps {
    std::vector<double> taps;
    int exponent = 0; // the taps given are taps * 2^exponent
};
// None when a tap is not finite or every tap is zero (or there are none).
std::optional<ScaledTaps> scaledTaps(const std::vector<double>& taps);

// H(x) term by term, each term's angle taken from the fraction of a turn k x so that long
// tables keep their accuracy. For tap tables of up to some 10^5 taps.
std::complex<double> exactSum(const std::vector<double>& taps, double cyclesPerSample);

// |H| at x = i / size for i = 0 .. size / 2, through one real FFT of the zero-padded taps
// (FFTW's; plans for the last few sizes are kept). Safe to call from several threads at once.
// `size` is a power of two, at least 4 and at least twice the tap count.
std::vector<double> gridMagnitudes(const std::vector<double>& taps, std::size_t size);

} // namespace dsp
