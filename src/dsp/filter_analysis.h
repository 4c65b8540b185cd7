#pragma once

#include <complex>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// What a design's taps h[0..N-1] (h[0] at time 0, sampled at fs) do in time and frequency: the
// impulse and step responses, the group delay and the zeros of H(z) = sum h[n] z^-n.
namespace dsp {

// Whether a tap table can be analysed. Tables longer than a design can be (kMostTaps) are
// refused, so that no analysis runs for minutes: the zeros cost N^3.
enum class TapsCheck { Usable, Empty, NotFinite, AllZero, TooMany };
TapsCheck checkTaps(const std::vector<double>& taps);

// The running sums s[n] = h[0] + ... + h[n]: the response to a unit step. The last is the gain at
// 0 Hz. Taps that are not finite carry into every later sum.
std::vector<double> stepResponse(const std::vector<double>& taps);

// Points whose |H| is below this fraction of the largest |H| on the grid (-100 dB) have no
// group delay: the phase has no slope at a zero, and next to one the sums' rounding, divided
// by |H| twice, would reach 1e-3 samples.
inline constexpr double kGroupDelayFloor = 1e-5;

struct GroupDelayPoint {
    double frequencyHz = 0;
    std::optional<double> delaySamples; // none where |H| is below the floor
};
struct GroupDelay {
    TapsCheck taps = TapsCheck::Usable;
    std::vector<GroupDelayPoint> points; // none unless the taps are usable
    std::size_t leftOut = 0;             // points without a delay
};

// tau = Re(sum n h[n] e^(-iwn) / sum h[n] e^(-iwn)) in samples, with the exact pi, on the grid of
// the response traces: 50 points per bin of fs/N, point i at i fs / (100 N) for i = 0 .. 50 N, so
// from 0 Hz to fs/2 inclusive. A design symmetric or antisymmetric about its middle reads
// (N - 1) / 2 at every point that has a delay. All-zero taps give no points.
GroupDelay groupDelay(const std::vector<double>& taps, double samplingHz);

enum class ZerosStatus {
    Found,
    NoPolynomial, // no taps, or every tap is zero
    NotFinite,
    TooMany, // more than kMostTaps taps
    // End taps so much smaller than the others that the roots overflow a double, or an
    // eigenvalue iteration that does not converge.
    Unsolved,
};

// The roots of h[0] z^(N-1) + h[1] z^(N-2) + ... + h[N-1], the zeros of H(z), in no particular
// order: the eigenvalues of the polynomial's balanced companion matrix (Eigen). Trailing zero
// taps are zeros at the origin (exact 0 among the zeros); leading zero taps lower the degree,
// and each stands for a zero at infinity, which is counted, not listed.
struct FilterZeros {
    ZerosStatus status = ZerosStatus::Found;
    std::vector<std::complex<double>> zeros; // N - 1 - atInfinity of them when found
    int atOrigin = 0;
    int atInfinity = 0;
};
FilterZeros filterZeros(const std::vector<double>& taps);

// The angle of a zero as the frequency it sits at: arg(z) fs / (2 pi), in (-fs/2, fs/2].
double zeroAngleHz(std::complex<double> zero, double samplingHz);

// CSV, 17 significant digits, locale-free (dsp/export_formats.h):
// `n,h` rows, n from 0.
std::string formatImpulseCsv(const std::vector<double>& taps);
// `n,s` rows of the step response.
std::string formatStepCsv(const std::vector<double>& steps);
// `frequency_hz,delay_samples` rows; a point without a delay has an empty delay field.
std::string formatGroupDelayCsv(const GroupDelay& delay);
// `re,im,radius,angle_hz` rows, one per listed zero.
std::string formatZerosCsv(const FilterZeros& zeros, double samplingHz);

} // namespace dsp
