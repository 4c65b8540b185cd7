#include "dsp/response_grid.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>
#include <utility>

namespace dsp {

namespace {

using Complex = std::complex<double>;

constexpr double kTwoPi = 2 * std::numbers::pi;
// Terms turned on by multiplication between two exactly taken angles.
constexpr std::size_t kExactBlock = 32;

// The plain product, without the library's recovery of infinities (no value here is one).
Complex times(Complex a, Complex b)
{
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// e^(-i 2 pi fraction), with the quarter turns exact: 0 Hz, fs/4 and fs/2 give 1, -i and -1
// to the last bit, so a response that vanishes there is measured as exactly 0. Taking the
// whole quarters off a number in [0, 1) is exact.
Complex turn(double fraction)
{
    const double f = fraction - std::floor(fraction);
    const double quarters = std::floor(4 * f);
    const double angle = kTwoPi * (f - quarters / 4);
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    switch (static_cast<int>(quarters)) {
    case 1:
        return {-s, -c};
    case 2:
        return {-c, s};
    case 3:
        return {s, c};
    default:
        return {c, -s};
    }
}

// e^(-i 2 pi k / size) for any k, as the product of a coarse and a fine table entry: only some
// 2 sqrt(size) sines are taken, and each value is within a few roundings of the exact one.
class Roots {
public:
    explicit Roots(std::size_t size) : m_size(size)
    {
        for (std::size_t k = 0; k * kFine < size; ++k)
            m_coarse.push_back(turn(static_cast<double>(k * kFine) / static_cast<double>(size)));
        for (std::size_t k = 0; k < kFine; ++k)
            m_fine.push_back(turn(static_cast<double>(k) / static_cast<double>(size)));
    }
    Complex operator()(std::size_t k) const
    {
        k %= m_size;
        return times(m_coarse[k / kFine], m_fine[k % kFine]);
    }

private:
    static constexpr std::size_t kFine = 1024;
    std::size_t m_size;
    std::vector<Complex> m_coarse;
    std::vector<Complex> m_fine;
};

// In-place radix-2 FFT of a power-of-two length n; root[j] is e^(-i 2 pi j / n), j < n / 2.
void fft(std::vector<Complex>& a, const std::vector<Complex>& root)
{
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const std::size_t half = length / 2;
        const std::size_t step = n / length;
        for (std::size_t start = 0; start < n; start += length) {
            for (std::size_t j = 0; j < half; ++j) {
                const Complex t = times(a[start + j + half], root[j * step]);
                a[start + j + half] = a[start + j] - t;
                a[start + j] += t;
            }
        }
    }
}

// The transform of half the size splits into `parts` transforms of `used` points each, as its
// input is zero past `used` points: bin q parts + r is bin q of the packed taps turned by
// r / (size / 2) per tap. Each is small enough to stay in the cache.
class PackedBins {
public:
    PackedBins(const std::vector<double>& taps, std::size_t size, const Roots& roots)
        : m_roots(roots), m_size(size)
    {
        const std::size_t packedTaps = std::max<std::size_t>(2, (taps.size() + 1) / 2);
        m_used = std::min(size / 2, std::bit_ceil(packedTaps));
        m_parts = size / 2 / m_used;
        // Even taps in the real parts, odd taps in the imaginary parts.
        m_packed.resize(m_used);
        for (std::size_t k = 0; k < taps.size(); k += 2)
            m_packed[k / 2] = {taps[k], k + 1 < taps.size() ? taps[k + 1] : 0.0};
        for (std::size_t s = 0; s < m_used / 2; ++s)
            m_smallRoot.push_back(roots(s * (size / m_used)));
    }
    std::size_t used() const { return m_used; }
    std::size_t parts() const { return m_parts; }
    // Bins r, r + parts, r + 2 parts, ... of the half-size transform.
    void part(std::size_t r, std::vector<Complex>& bins) const
    {
        bins.resize(m_used);
        for (std::size_t j = 0; j < m_used; ++j)
            bins[j] = times(m_packed[j], m_roots(2 * j * r % m_size));
        fft(bins, m_smallRoot);
    }

private:
    const Roots& m_roots;
    std::size_t m_size;
    std::size_t m_used = 0;
    std::size_t m_parts = 0;
    std::vector<Complex> m_packed;
    std::vector<Complex> m_smallRoot;
};

} // namespace

std::optional<ScaledTaps> scaledTaps(const std::vector<double>& taps)
{
    double largest = 0;
    for (double tap : taps) {
        if (!std::isfinite(tap))
            return std::nullopt;
        largest = std::max(largest, std::abs(tap));
    }
    if (largest == 0)
        return std::nullopt;
    ScaledTaps scaled{taps, std::ilogb(largest) + 1};
    for (double& tap : scaled.taps)
        tap = std::ldexp(tap, -scaled.exponent);
    return scaled;
}

std::complex<double> exactSum(const std::vector<double>& taps, double cyclesPerSample)
{
    // Whole turns drop out of every term; what is left lies in [0, 1). Each block of terms
    // starts from a sine and cosine of its own angle, reduced to a fraction of a turn, and
    // turns on by one step per tap between, so rounding cannot build up over long tables.
    const double x = cyclesPerSample - std::floor(cyclesPerSample);
    const Complex step = turn(x);
    double re = 0;
    double im = 0;
    for (std::size_t first = 0; first < taps.size(); first += kExactBlock) {
        const double turns = static_cast<double>(first) * x;
        Complex phasor = turn(turns);
        const std::size_t end = std::min(taps.size(), first + kExactBlock);
        for (std::size_t k = first; k < end; ++k) {
            re += taps[k] * phasor.real();
            im += taps[k] * phasor.imag();
            phasor = times(phasor, step);
        }
    }
    return {re, im};
}

std::vector<double> gridMagnitudes(const std::vector<double>& taps, std::size_t size)
{
    // Bin k of the real transform comes from bins k and n - k of the half-size one, which lie
    // in parts r and parts - r: the two are taken together, and only the magnitudes are kept.
    const Roots roots(size);
    const PackedBins packed(taps, size, roots);
    const std::size_t n = size / 2;
    const std::size_t parts = packed.parts();
    std::vector<double> magnitudes(n + 1);
    std::vector<Complex> part;
    std::vector<Complex> mirrorPart;
    const auto fill = [&](std::size_t r, const std::vector<Complex>& bins,
                          const std::vector<Complex>& mirrorBins) {
        // Bin n, fs/2, is bin 0 again: q runs to `used` itself there.
        for (std::size_t q = 0; q * parts + r <= n; ++q) {
            const std::size_t k = q * parts + r;
            const std::size_t mirrorQ = ((n - k) % n) / parts;
            const Complex zk = bins[q % bins.size()];
            const Complex mirror = std::conj(mirrorBins[mirrorQ]);
            const Complex even = 0.5 * (zk + mirror);
            const Complex odd = times(Complex(0, -0.5), zk - mirror);
            const Complex bin = even + times(roots(k), odd);
            // The taps are scaled to at most 1, so the squares cannot overflow, and an underflow
            // far below every figure does not matter; hypot would cost more than the transform.
            magnitudes[k] = std::sqrt(bin.real() * bin.real() + bin.imag() * bin.imag());
        }
    };
    for (std::size_t r = 0; 2 * r <= parts; ++r) {
        const std::size_t mirrorR = (parts - r) % parts;
        packed.part(r, part);
        if (mirrorR == r) {
            fill(r, part, part);
            continue;
        }
        packed.part(mirrorR, mirrorPart);
        fill(r, part, mirrorPart);
        fill(mirrorR, mirrorPart, part);
    }
    return magnitudes;
}

} // namespace dsp
