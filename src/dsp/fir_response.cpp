#include "dsp/fir_response.h"

#include "dsp/plot_geometry.h"
#include "dsp/simd.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace dsp::fir {

namespace {

constexpr double kIndexStep = 0.01;

// Eight independent recurrences hide the latency of each step; with AVX2 their states fill the
// registers and the cosines are read from memory. Fewer groups measured slower. A group is one
// vector of frequency points: four wide (AVX2, or two SSE registers each), eight with AVX-512,
// whose 512-bit registers win back the time the unfused multiply and add cost.
constexpr int kLaneGroups = 8;
constexpr int kWidestLanes = 8;
constexpr int kBlockPoints = kWidestLanes * kLaneGroups;

// Goertzel's recurrence s(k) = c(k) + 2 cos(theta) s(k+1) - s(k+2), run from the last tap down
// to tap index 1 for Lanes * kLaneGroups frequency points at once. It leaves s(1) in `latest`
// and s(2) in `previous`. The loop takes two taps per round so that the two states swap roles
// instead of being copied. Each frequency point runs in its own lane with the same operations in
// the same order at every vector width, so the instruction sets agree bit for bit.
template <int Lanes>
[[gnu::always_inline]] inline void goertzelGroups(const double* taps, int count,
                                                  const double* twiceCosine, double* latest,
                                                  double* previous)
{
    // The typedef form: GCC drops a dependent vector_size on an alias declaration.
    typedef double Vector __attribute__((vector_size(Lanes * sizeof(double))));
    static_assert(sizeof(Vector) == Lanes * sizeof(double));
    Vector twoCos[kLaneGroups];
    Vector s1[kLaneGroups] = {};
    Vector s2[kLaneGroups] = {};
    std::memcpy(twoCos, twiceCosine, sizeof twoCos);
    int k = count - 1;
    for (; k >= 2; k -= 2) {
        const Vector tapA = Vector{} + taps[k];
        const Vector tapB = Vector{} + taps[k - 1];
#pragma GCC unroll 8
        for (int g = 0; g < kLaneGroups; ++g) {
            s2[g] = tapA - s2[g] + twoCos[g] * s1[g];
            s1[g] = tapB - s1[g] + twoCos[g] * s2[g];
        }
    }
    if (k == 1) {
        const Vector tap = Vector{} + taps[1];
#pragma GCC unroll 8
        for (int g = 0; g < kLaneGroups; ++g) {
            const Vector next = tap - s2[g] + twoCos[g] * s1[g];
            s2[g] = s1[g];
            s1[g] = next;
        }
    }
    std::memcpy(latest, s1, sizeof s1);
    std::memcpy(previous, s2, sizeof s2);
}

// A whole block of kBlockPoints, in as many passes as the width needs.
template <int Lanes>
[[gnu::always_inline]] inline void goertzelBlock(const double* taps, int count,
                                                 const double* twiceCosine, double* latest,
                                                 double* previous)
{
    constexpr int kPassPoints = Lanes * kLaneGroups;
    static_assert(kBlockPoints % kPassPoints == 0);
    for (int first = 0; first < kBlockPoints; first += kPassPoints) {
        goertzelGroups<Lanes>(taps, count, twiceCosine + first, latest + first, previous + first);
    }
}

using GoertzelKernel = void (*)(const double*, int, const double*, double*, double*);

DSP_SIMD_BASELINE void goertzelBaseline(const double* taps, int count, const double* twiceCosine,
                                        double* latest, double* previous)
{
    goertzelBlock<4>(taps, count, twiceCosine, latest, previous);
}

#if DSP_SIMD_X86
DSP_SIMD_AVX2 void goertzelAvx2(const double* taps, int count, const double* twiceCosine,
                                double* latest, double* previous)
{
    goertzelBlock<4>(taps, count, twiceCosine, latest, previous);
}

DSP_SIMD_AVX512 void goertzelAvx512(const double* taps, int count, const double* twiceCosine,
                                    double* latest, double* previous)
{
    goertzelBlock<8>(taps, count, twiceCosine, latest, previous);
}

constexpr simd::Variants<GoertzelKernel> kGoertzel{goertzelBaseline, goertzelAvx2, goertzelAvx512};
#else
constexpr simd::Variants<GoertzelKernel> kGoertzel{goertzelBaseline, nullptr, nullptr};
#endif

struct Phasor {
    double cosine;
    double sine;
};

// cos and sin of 2 pi u / N at every sweep point, from a few hundred sines instead of one per
// point. Point p lies within a hair of u = p / 100, so its angle is a whole number of bins, plus
// a number of hundredths of a bin, plus the tiny remainder that the repeated addition of 0.01
// leaves; the first two come from tables and are joined by the angle-sum rule, and the
// remainder (1e-12 rad at most) turns the result to first order, exact to rounding.
class SweepPhasors {
public:
    SweepPhasors(int taps, std::size_t points) : radiansPerBin_(2 * kPi / taps)
    {
        for (std::size_t bin = 0; bin <= points / kStepsPerBin; ++bin)
            wholeBins_.push_back(phasor(radiansPerBin_ * static_cast<double>(bin)));
        for (int step = 0; step < kStepsPerBin; ++step)
            hundredths_.push_back(phasor(radiansPerBin_ * hundredth(step)));
    }

    Phasor at(std::size_t point, double u) const
    {
        const std::size_t bin = point / kStepsPerBin;
        const int step = static_cast<int>(point % kStepsPerBin);
        const Phasor& a = wholeBins_[bin];
        const Phasor& b = hundredths_[step];
        const double cosine = a.cosine * b.cosine - a.sine * b.sine;
        const double sine = a.sine * b.cosine + a.cosine * b.sine;
        const double offGrid = (u - static_cast<double>(bin)) - hundredth(step);
        const double remainder = radiansPerBin_ * offGrid;
        return {cosine - sine * remainder, sine + cosine * remainder};
    }

private:
    static constexpr int kStepsPerBin = 100;

    static double hundredth(int step) { return step * kIndexStep; }
    static Phasor phasor(double radians) { return {std::cos(radians), std::sin(radians)}; }

    double radiansPerBin_;
    std::vector<Phasor> wholeBins_;
    std::vector<Phasor> hundredths_;
};

// Evaluates the sweep points first .. first + count - 1 (count <= kBlockPoints); unused lanes
// run at 0 Hz and are dropped.
void sweepBlock(GoertzelKernel goertzel, const std::vector<double>& taps,
                const SweepPhasors& phasors, const std::vector<double>& indices, std::size_t first,
                int count, ResponsePoint* out)
{
    alignas(64) double cosine[kBlockPoints];
    alignas(64) double sine[kBlockPoints];
    alignas(64) double twiceCosine[kBlockPoints];
    alignas(64) double latest[kBlockPoints];
    alignas(64) double previous[kBlockPoints];
    for (int j = 0; j < kBlockPoints; ++j) {
        const Phasor p = j < count ? phasors.at(first + j, indices[first + j]) : Phasor{1, 0};
        cosine[j] = p.cosine;
        sine[j] = p.sine;
        twiceCosine[j] = 2 * p.cosine;
    }
    goertzel(taps.data(), static_cast<int>(taps.size()), twiceCosine, latest, previous);
    // Clenshaw's closing step turns s(1), s(2) into the cosine and the sine sum.
    for (int j = 0; j < count; ++j) {
        out[j] = {indices[first + j], taps[0] + latest[j] * cosine[j] - previous[j],
                  latest[j] * sine[j]};
    }
}

} // namespace

std::vector<double> frequencyIndices(int taps)
{
    const double lastIndex = taps / 2.0;
    std::vector<double> indices;
    indices.reserve(static_cast<std::size_t>(std::max(taps, 0)) * 50 + 1); // 100 a bin, N/2 bins
    for (double u = 0; u <= lastIndex; u += kIndexStep)
        indices.push_back(u);
    return indices;
}

std::vector<ResponsePoint> responseSweep(const std::vector<double>& taps)
{
    return responseSweepUsing(taps, simd::active());
}

std::vector<ResponsePoint> responseSweepUsing(const std::vector<double>& taps, simd::Level level)
{
    const std::vector<double> indices = frequencyIndices(static_cast<int>(taps.size()));
    std::vector<ResponsePoint> points(indices.size());
    if (taps.empty()) {
        for (std::size_t j = 0; j < indices.size(); ++j)
            points[j].u = indices[j];
        return points;
    }
    const SweepPhasors phasors(static_cast<int>(taps.size()), indices.size());
    const GoertzelKernel goertzel = kGoertzel.pick(level);
    for (std::size_t first = 0; first < indices.size(); first += kBlockPoints) {
        const auto count =
            static_cast<int>(std::min<std::size_t>(kBlockPoints, indices.size() - first));
        sweepBlock(goertzel, taps, phasors, indices, first, count, points.data() + first);
    }
    return points;
}

std::vector<ResponsePoint> directResponseSweep(const std::vector<double>& taps)
{
    const int tapCount = static_cast<int>(taps.size());
    std::vector<ResponsePoint> points;
    for (double u : frequencyIndices(tapCount)) {
        double re = 0;
        double im = 0;
        for (int k = 0; k < tapCount; ++k) {
            const double angle = 2 * kPi * k * u / tapCount;
            re += taps[k] * std::cos(angle);
            im += taps[k] * std::sin(angle);
        }
        points.push_back({u, re, im});
    }
    return points;
}

double magnitude(const ResponsePoint& point)
{
    return std::sqrt(point.re * point.re + point.im * point.im);
}

double responseX(double u, int taps) { return responseXAtBin(u, taps); }

double linearTraceY(double magnitude, double scale) { return linearTraceYAt(magnitude, scale); }

double logTraceY(double magnitude, double reference)
{
    const double ratio = magnitude / reference;
    double level = kLogTraceFloorLevel;
    // A zero magnitude has no logarithm, and a reference that is not positive gives no ratio;
    // like any level below the floor, both are drawn on it.
    if (ratio > 0 && std::isfinite(ratio))
        level = std::max(kLogTraceUnitsPerDecade * std::log(ratio) / std::log(10.0),
                         kLogTraceFloorLevel);
    return logTraceYAtLevel(level);
}

double phaseDegrees(double re, double q)
{
    if (re == 0)
        return q > 0 ? 90.0 : (q < 0 ? -90.0 : 0.0);
    double degrees = std::atan(q / re) * 180 / kPi;
    if (re < 0 && q > 0)
        degrees += 180;
    else if (re < 0 && q < 0)
        degrees -= 180;
    return degrees;
}

double phaseDegrees(const ResponsePoint& point) { return phaseDegrees(point.re, -point.im); }

double phaseTraceY(double degrees) { return phaseTraceYAt(degrees); }

} // namespace dsp::fir
