#include "dsp/series_kernel.h"

#include <cmath>
#include <cstring>

namespace dsp {
namespace {

// Time points are summed side by side, a few vectors of them in flight so that the latency of
// each rotation is hidden. The sums walk e^{int} up the harmonics by complex rotation and seed it
// afresh from sin and cos every kReseedEvery terms, which keeps the rotation's drift far below
// 1e-9 units.
constexpr int kBlock = 32;
constexpr std::size_t kReseedEvery = 1024;

// For a sine series the phasor is started a quarter turn back, e^{i(nt - pi/2)}, so that its real
// part is sin(nt): one code path serves both kinds. Seeds take sin and cos of exactly n * t, as the
// plain sums do.
void seedPhasors(bool sine, double harmonic, const double* times, int count, double* re, double* im)
{
    for (int j = 0; j < count; ++j) {
        const double c = std::cos(harmonic * times[j]);
        const double s = std::sin(harmonic * times[j]);
        re[j] = sine ? s : c;
        im[j] = sine ? -c : s;
    }
}

// Lanes points share a vector of the target's native width; Chains vectors run side by side.
template <int Lanes, int Chains>
[[gnu::always_inline]] inline void sumGroup(const HarmonicSeries& series, const double* times,
                                            double* sums)
{
    constexpr int kPoints = Lanes * Chains;
    // The typedef form: GCC drops a dependent vector_size on an alias declaration.
    typedef double Vector __attribute__((vector_size(Lanes * sizeof(double))));
    static_assert(sizeof(Vector) == Lanes * sizeof(double));
    alignas(64) double re[kPoints], im[kPoints];
    Vector turnRe[Chains], turnIm[Chains], phRe[Chains], phIm[Chains], acc[Chains];
    seedPhasors(false, series.harmonicStep, times, kPoints, re, im);
    std::memcpy(turnRe, re, sizeof turnRe);
    std::memcpy(turnIm, im, sizeof turnIm);
    for (auto& a : acc)
        a = Vector{};

    const std::size_t terms = series.weights.size();
    for (std::size_t first = 0; first < terms; first += kReseedEvery) {
        const double harmonic = series.firstHarmonic + double(first) * series.harmonicStep;
        seedPhasors(series.sine, harmonic, times, kPoints, re, im);
        std::memcpy(phRe, re, sizeof phRe);
        std::memcpy(phIm, im, sizeof phIm);
        const std::size_t last = std::min(terms, first + kReseedEvery);
        for (std::size_t k = first; k < last; ++k) {
            const double weight = series.weights[k];
            for (int c = 0; c < Chains; ++c) {
                acc[c] += weight * phRe[c];
                const Vector nextRe = phRe[c] * turnRe[c] - phIm[c] * turnIm[c];
                phIm[c] = phRe[c] * turnIm[c] + phIm[c] * turnRe[c];
                phRe[c] = nextRe;
            }
        }
    }
    std::memcpy(sums, acc, sizeof acc);
}

template <int Lanes, int Chains>
[[gnu::always_inline]] inline void sumBlockWith(const HarmonicSeries& series, const double* times,
                                                double* sums)
{
    static_assert(kBlock % (Lanes * Chains) == 0);
    for (int group = 0; group < kBlock; group += Lanes * Chains)
        sumGroup<Lanes, Chains>(series, times + group, sums + group);
}

using BlockSum = void (*)(const HarmonicSeries&, const double*, double*);

DSP_SIMD_BASELINE void sumBlockBaseline(const HarmonicSeries& series, const double* times,
                                        double* sums)
{
    sumBlockWith<2, 4>(series, times, sums);
}

// At 32767 harmonics the sums are the whole cost of a curve, so the widest vectors the
// processor offers are used. Every point is summed in its own lane, in the same order at every
// width, so the widths agree bit for bit.
#if DSP_SIMD_X86
DSP_SIMD_AVX2 void sumBlockAvx2(const HarmonicSeries& series, const double* times, double* sums)
{
    sumBlockWith<4, 4>(series, times, sums);
}

DSP_SIMD_AVX512 void sumBlockAvx512(const HarmonicSeries& series, const double* times, double* sums)
{
    sumBlockWith<8, 4>(series, times, sums);
}

constexpr simd::Variants<BlockSum> kBlockSums{sumBlockBaseline, sumBlockAvx2, sumBlockAvx512};
#else
constexpr simd::Variants<BlockSum> kBlockSums{sumBlockBaseline, nullptr, nullptr};
#endif

} // namespace

std::vector<double> sumSeries(const HarmonicSeries& series, const std::vector<double>& times,
                              simd::Level level)
{
    const BlockSum sumBlock = kBlockSums.pick(level);
    std::vector<double> sums(times.size());
    for (std::size_t begin = 0; begin < times.size(); begin += kBlock) {
        const std::size_t used = std::min<std::size_t>(kBlock, times.size() - begin);
        alignas(64) double blockTimes[kBlock] = {}; // padding points sit at t = 0
        alignas(64) double blockSums[kBlock];
        std::copy_n(times.begin() + begin, used, blockTimes);
        sumBlock(series, blockTimes, blockSums);
        std::copy_n(blockSums, used, sums.begin() + begin);
    }
    return sums;
}

} // namespace dsp
