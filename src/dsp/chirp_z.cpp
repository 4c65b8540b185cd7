#include "dsp/chirp_z.h"

#include "dsp/fftw_support.h"
#include "dsp/plot.h"
#include "dsp/simd.h"

#if DSP_SIMD_X86
#include <immintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <mutex>
#include <stdexcept>

namespace dsp {

namespace {

using Complex = std::complex<double>;

// The plain product, without the library's recovery of infinities (no value here is one).
Complex times(Complex a, Complex b)
{
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// out[i] = a[i] b[i] for `count` complex numbers, the kernels of each vector level. The
// vector ones fuse each product with its sum (fmaddsub), so they differ from the baseline in
// the last bits: within 2 roundings of each product.
using ProductKernel = void (*)(const Complex* a, const Complex* b, Complex* out, std::size_t count);

DSP_SIMD_BASELINE void productsBaseline(const Complex* a, const Complex* b, Complex* out,
                                        std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        out[i] = times(a[i], b[i]);
}

#if DSP_SIMD_X86
__attribute__((target("avx2,fma"))) void productsAvx2(const Complex* a, const Complex* b,
                                                      Complex* out, std::size_t count)
{
    const auto* x = reinterpret_cast<const double*>(a);
    const auto* y = reinterpret_cast<const double*>(b);
    auto* z = reinterpret_cast<double*>(out);
    std::size_t i = 0;
    for (; i + 2 <= count; i += 2) {
        const __m256d p = _mm256_loadu_pd(x + 2 * i);
        const __m256d q = _mm256_loadu_pd(y + 2 * i);
        // re: pr qr - pi qi, im: pr qi + pi qr.
        const __m256d crossed = _mm256_mul_pd(_mm256_permute_pd(p, 0b1111),  // pi pi
                                              _mm256_permute_pd(q, 0b0101)); // qi qr
        _mm256_storeu_pd(z + 2 * i, _mm256_fmaddsub_pd(_mm256_movedup_pd(p), q, crossed));
    }
    productsBaseline(a + i, b + i, out + i, count - i);
}

// GCC 12's AVX-512 intrinsics start from an undefined register and report it as maybe
// uninitialised once inlined (GCC bug 105593).
#if !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
__attribute__((target("avx512f,avx512vl,fma"))) void
productsAvx512(const Complex* a, const Complex* b, Complex* out, std::size_t count)
{
    const auto* x = reinterpret_cast<const double*>(a);
    const auto* y = reinterpret_cast<const double*>(b);
    auto* z = reinterpret_cast<double*>(out);
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m512d p = _mm512_loadu_pd(x + 2 * i);
        const __m512d q = _mm512_loadu_pd(y + 2 * i);
        const __m512d crossed =
            _mm512_mul_pd(_mm512_permute_pd(p, 0xFF), _mm512_permute_pd(q, 0x55));
        _mm512_storeu_pd(z + 2 * i, _mm512_fmaddsub_pd(_mm512_movedup_pd(p), q, crossed));
    }
    productsBaseline(a + i, b + i, out + i, count - i);
}
#if !defined(__clang__)
#pragma GCC diagnostic pop
#endif

constexpr simd::Variants<ProductKernel> kProducts{productsBaseline, productsAvx2, productsAvx512};

// The AVX2 level is chosen by AVX2 alone; the fused kernel also needs FMA, which every
// processor with AVX2 so far has.
ProductKernel productKernel(simd::Level level)
{
    if (level == simd::Level::avx2 && !__builtin_cpu_supports("fma"))
        return productsBaseline;
    return kProducts.pick(level);
}
#else
ProductKernel productKernel(simd::Level) { return productsBaseline; }
#endif

// Each thread's buffers, aligned as the planned ones were (fftw_alloc), so that the shared
// plans can run on them from any thread. They are kept from call to call: freed and taken
// again, buffers of this size go back to the system and return as fresh pages each time, which
// costs more than the transforms.
struct Scratch {
    std::size_t length = 0;
    fftw::ComplexBuffer input;
    fftw::ComplexBuffer spectrum;
    fftw::ComplexBuffer output;
};

Scratch& threadScratch(std::size_t length)
{
    thread_local Scratch scratch;
    if (scratch.length < length) {
        scratch.input = fftw::complexBuffer(length);
        scratch.spectrum = fftw::complexBuffer(length);
        scratch.output = fftw::complexBuffer(length);
        scratch.length = length;
    }
    return scratch;
}

// The block length: the power of two that costs least, counting one forward transform and
// one inverse transform a block (n log2 n each) and a product a point, among those up to 2048
// or twice the taps. Longer blocks measured slower per point, their buffers no longer fitting
// the first cache levels; shorter ones spend more of their points on the overlap of taps - 1.
// For 500 taps and 25001 points: 18 blocks of 2048.
std::size_t bestBlockLength(std::size_t taps, std::size_t points)
{
    const std::size_t longest = std::max<std::size_t>(2048, std::bit_ceil(2 * taps));
    std::size_t best = 0;
    double leastCost = 0;
    for (std::size_t length = std::bit_ceil(taps + 1); length <= longest; length *= 2) {
        const std::size_t blocks = (points + length - taps) / (length - taps + 1);
        const double n = static_cast<double>(length);
        const double cost = static_cast<double>(blocks + 1) * n * (std::log2(n) + 1);
        if (best == 0 || cost < leastCost) {
            best = length;
            leastCost = cost;
        }
        if (blocks == 1)
            break; // longer ones only add work
    }
    return best;
}

} // namespace

Complex chirp(std::int64_t n, std::int64_t steps)
{
    // kPi n^2 / (2 steps) with n^2 = q 4 steps + r: the whole part 2 q kPi differs from q whole
    // turns by 2 q (pi - kPi), a small angle (0.03 rad for 500 taps) but one that carries every
    // error of pi - kPi q times over. So pi is taken as the nearest long double, exactly less
    // kPi, plus the rest of pi where long double is x87's 64-bit format (a 113-bit long double
    // needs no rest; a 53-bit one loses some 1e-16 q rad). Measured against quad precision for
    // n up to 25500: within 3.2e-16, where the plain double angle is 6e-9 off and the plain
    // long double one 3e-12.
    constexpr long double kPiNearest = 3.141592653589793238462643383279502884L;
    constexpr long double kPiRest =
        std::numeric_limits<long double>::digits == 64 ? -5.016557612668332023557327e-20L : 0;
    const long double shortPi = kPi; // the double itself, converted exactly
    const long double shortfall = (kPiNearest - shortPi) + kPiRest;
    const std::int64_t period = 4 * steps;
    const std::int64_t square = n * n;
    const std::int64_t q = square / period;
    const std::int64_t r = square % period;
    long double angle = shortPi * static_cast<long double>(r) / static_cast<long double>(2 * steps)
        - 2 * static_cast<long double>(q) * shortfall;
    angle -= 2 * kPiNearest * std::floor(angle / (2 * kPiNearest) + 0.5L);
    const auto reduced = static_cast<double>(angle);
    return {std::cos(reduced), std::sin(reduced)};
}

// Freed with the grid, or when its construction fails after planning.
struct ChirpGrid::Plans {
    Plans() = default;
    Plans(const Plans&) = delete;
    Plans& operator=(const Plans&) = delete;
    ~Plans()
    {
        const std::lock_guard lock(fftw::plannerMutex());
        for (fftw_plan plan : {forward, backward}) {
            if (plan)
                fftw_destroy_plan(plan);
        }
    }
    fftw_plan forward = nullptr;
    fftw_plan backward = nullptr;
};

ChirpGrid::ChirpGrid(std::size_t taps, std::size_t points, std::int64_t steps)
    : m_taps(taps), m_points(points), m_blockLength(bestBlockLength(taps, points)),
      m_chirp(std::max(taps, points)), m_plans(std::make_unique<Plans>())
{
    for (std::size_t n = 0; n < m_chirp.size(); ++n)
        m_chirp[n] = chirp(static_cast<std::int64_t>(n), steps);
    // Out of place: FFTW's in-place transforms of these lengths copy through a buffer.
    const fftw::ComplexBuffer input = fftw::complexBuffer(m_blockLength);
    const fftw::ComplexBuffer output = fftw::complexBuffer(m_blockLength);
    {
        const std::lock_guard lock(fftw::plannerMutex());
        const int length = static_cast<int>(m_blockLength);
        // FFTW_ESTIMATE picks the same algorithm every run (FFTW_MEASURE times candidates, and
        // a different pick would change the last bits and so the drawn pixels between runs).
        m_plans->forward =
            fftw_plan_dft_1d(length, input.get(), output.get(), FFTW_FORWARD, FFTW_ESTIMATE);
        m_plans->backward =
            fftw_plan_dft_1d(length, input.get(), output.get(), FFTW_BACKWARD, FFTW_ESTIMATE);
    }
    if (!m_plans->forward || !m_plans->backward)
        throw std::runtime_error("FFTW could not plan a transform of this length");
    // Block b covers the points from b P on: its filter is conj(w(b P + n)) at offsets
    // n = -(taps - 1) .. P - 1, wrapped around the block length, with the inverse transform's
    // 1 / L folded in. w is even in n.
    const std::size_t blockPoints = this->blockPoints();
    const std::size_t blocks = (points + blockPoints - 1) / blockPoints;
    m_filters.resize(blocks * m_blockLength);
    auto* filter = reinterpret_cast<Complex*>(input.get());
    const auto* transformed = reinterpret_cast<const Complex*>(output.get());
    const double scale = 1.0 / static_cast<double>(m_blockLength);
    for (std::size_t b = 0; b < blocks; ++b) {
        std::fill(filter, filter + m_blockLength, Complex());
        const auto first = static_cast<std::ptrdiff_t>(b * blockPoints);
        for (auto n = 1 - static_cast<std::ptrdiff_t>(taps);
             n < static_cast<std::ptrdiff_t>(blockPoints); ++n) {
            const auto at = static_cast<std::size_t>(std::abs(first + n));
            if (at < m_chirp.size())
                filter[n < 0 ? m_blockLength + n : n] = std::conj(m_chirp[at]) * scale;
        }
        fftw_execute(m_plans->forward);
        std::copy(transformed, transformed + m_blockLength, m_filters.begin() + b * m_blockLength);
    }
}

ChirpGrid::~ChirpGrid() = default;

void ChirpGrid::sums(const double* taps, const Sink& sink, simd::Level level) const
{
    Scratch& scratch = threadScratch(m_blockLength);
    fftw_complex* input = scratch.input.get();
    fftw_complex* spectrumBuffer = scratch.spectrum.get();
    fftw_complex* output = scratch.output.get();
    auto* weighted = reinterpret_cast<Complex*>(input);
    const auto* spectrum = reinterpret_cast<const Complex*>(spectrumBuffer);
    auto* block = reinterpret_cast<Complex*>(output);
    for (std::size_t k = 0; k < m_taps; ++k)
        weighted[k] = taps[k] * m_chirp[k];
    std::fill(weighted + m_taps, weighted + m_blockLength, Complex());
    fftw_execute_dft(m_plans->forward, input, spectrumBuffer);
    const ProductKernel products = productKernel(level);
    const Complex* filter = m_filters.data();
    for (std::size_t first = 0; first < m_points; first += blockPoints()) {
        products(spectrum, filter, weighted, m_blockLength);
        filter += m_blockLength;
        fftw_execute_dft(m_plans->backward, input, output);
        const std::size_t count = std::min(blockPoints(), m_points - first);
        products(m_chirp.data() + first, block, block, count);
        sink(first, std::span<const Complex>(block, count));
    }
}

} // namespace dsp
