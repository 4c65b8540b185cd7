#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// Measured figures of an FIR design, from its taps with the exact pi (the screens' five-decimal
// dsp::kPi shapes the taps, not the measurement). The response of taps c[0..N-1], tap 1 at
// time 0, at frequency f and sampling rate fs is H(f) = sum c[k] e^(-i 2 pi k f / fs).
//
// A figure that cannot be computed (no such edge or stop band, no crossing, G = 0, every tap 0,
// a tap or a frequency that is not finite, no taps, more than kMaxMeasuredTaps taps) is
// nullopt. No figure is ever NaN or infinite.
namespace dsp {

enum class FilterKind { Lowpass, Highpass, Bandpass, Bandstop };

// One entry per edge or per stop band, always as many as the kind has, in frequency order.
using SideFigures = std::vector<std::optional<double>>;

struct FilterFigures {
    // G: |H(0)| for lowpass and bandstop, |H(fs/2)| for highpass, |H(centre)| for bandpass.
    std::optional<double> referenceGain;
    // Per edge (edgeCount): where |H| first falls through G / sqrt(2) (resp. G / 2) going away
    // from the reference: up from 0 (lowpass, bandstop's lower edge), down from fs/2 (highpass,
    // bandstop's upper edge), down and up from the centre (bandpass). Within 1e-6 fs.
    SideFigures minus3dbHz;
    SideFigures minus6dbHz;
    // Per edge: from its 0.9 G point, the 0.9 G crossing nearest its -6 dB point on the pass
    // side, to its 0.1 G point, the 0.1 G crossing nearest it on the stop side. Ripple further
    // into either band does not move them.
    SideFigures transitionHz;
    // Per stop band (stopBandCount): lowpass above its edge, highpass below, bandpass below and
    // above, bandstop between its edges. A stop band runs from the 0.1 G point of the edge that
    // bounds it away from the pass band, to the 0.1 G point of the edge on its other side or to
    // 0 or fs/2. Its figure is 20 log10(largest |H| inside it / G), the largest taken over the
    // local maxima of |H|, 0 and fs/2 included where the band reaches them and |H| peaks there:
    // none where the band never goes below 0.1 G or holds no maximum.
    SideFigures stopbandPeakDb;
    // Per pass band (passBandCount): 20 log10(largest |H| / smallest |H|) over the band, which
    // runs from the reference side to the 0.9 G point of each edge that bounds it (0 or fs/2
    // where the band has no edge on that side): lowpass 0 up, highpass fs/2 down, bandpass
    // between its edges, bandstop below and above. Within 0.02 dB; none where an edge that
    // bounds the band has no 0.9 G point.
    SideFigures passbandRippleDb;
};

// Lowpass and highpass: 1; bandpass and bandstop: 2 (lower, upper).
std::size_t edgeCount(FilterKind kind);
// Lowpass, highpass and bandstop: 1; bandpass: 2 (below, above).
std::size_t stopBandCount(FilterKind kind);

// Bandstop: 2 (below, above); the others: 1.
std::size_t passBandCount(FilterKind kind);

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
