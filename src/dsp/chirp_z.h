#pragma once

#include "dsp/simd.h"

#include <complex>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

// Sums of a real table at many equally spaced angles, by Bluestein's chirp-z transform:
//
//   z(j) = sum c[k] e^(i k j kPi / steps),  k = 0..taps - 1,  j = 0..points - 1,
//
// kPi being the screens' five-decimal pi (dsp/plot.h). Since k j = (k^2 + j^2 - (j - k)^2) / 2,
// z(j) = w(j) sum c[k] w(k) conj(w(j - k)) with the chirp w(n) = e^(i kPi n^2 / (2 steps)): a
// convolution, taken through FFTs. The points are cut into blocks, each one convolution of a
// small FFT length L (overlap-save): the taps' transform is shared and each block costs one
// inverse transform, O(points log L) in all instead of taps x points terms.
namespace dsp {

class ChirpGrid {
public:
    // taps >= 1, points >= 1, steps >= 1.
    ChirpGrid(std::size_t taps, std::size_t points, std::int64_t steps);
    ~ChirpGrid();
    ChirpGrid(const ChirpGrid&) = delete;
    ChirpGrid& operator=(const ChirpGrid&) = delete;

    std::size_t taps() const { return m_taps; }
    std::size_t points() const { return m_points; }
    // The FFT length of a block, and the points each block gives.
    std::size_t blockLength() const { return m_blockLength; }
    std::size_t blockPoints() const { return m_blockLength - m_taps + 1; }

    // z of taps[0..taps - 1], handed over a block at a time: sink(first, values) gets
    // z(first), z(first + 1), ... in order. Safe to call from several threads at once. The
    // products between the transforms run at the vector width of `level` (dsp/simd.h); FFTW
    // picks its own.
    using Sink = std::function<void(std::size_t first, std::span<const std::complex<double>>)>;
    void sums(const double* taps, const Sink& sink, simd::Level level) const;

private:
    struct Plans;
    std::size_t m_taps;
    std::size_t m_points;
    std::size_t m_blockLength;
    std::vector<std::complex<double>> m_chirp;   // w(n), n = 0 .. max(taps, points) - 1
    std::vector<std::complex<double>> m_filters; // each block's inverse chirp, transformed
    std::unique_ptr<Plans> m_plans;
};

// w(n) = e^(i kPi n^2 / (2 steps)), the angle reduced in whole numbers first so that it stays
// exact to rounding however large n^2 grows.
std::complex<double> chirp(std::int64_t n, std::int64_t steps);

} // namespace dsp
