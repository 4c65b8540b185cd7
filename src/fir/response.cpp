#include "fir/response.h"

#include "app/plot.h"

#include <algorithm>
#include <cmath>
#include <cstring>

// The fast sweep runs one kernel on several instruction sets and picks the best the processor
// has when the program starts. Vector adds and multiplies round the same way on each, and no
// multiply is fused with an add, so every clone returns the same bits.
#if defined(__x86_64__) && defined(__ELF__) && (defined(__GNUC__) || defined(__clang__))
#define DSP_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define DSP_VECTOR_CLONES
#endif

namespace dsp::fir {

namespace {

constexpr double kIndexStep = 0.01;
constexpr double kPlotLeft = 10;
constexpr double kPlotWidth = 468;
constexpr double kLinearZeroY = 380;
constexpr double kLogTopY = 89;
constexpr double kLogFloor = -295;
constexpr double kPhaseZeroY = 196;
constexpr double kDegreesPerUnit = 1.275;

// Four frequency points side by side; the compiler maps them onto whatever vector registers the
// clone targets.
using Lanes = double __attribute__((vector_size(4 * sizeof(double))));
constexpr int kLanes = 4;
// Eight independent recurrences keep the multiply and add units busy while each waits for its
// previous step; more would no longer fit in the registers.
constexpr int kLaneGroups = 8;
constexpr int kBlockPoints = kLanes * kLaneGroups;

// Goertzel's recurrence s(k) = c(k) + 2 cos(theta) s(k+1) - s(k+2), run from the last tap down
// to tap index 1 for a block of frequency points at once. It leaves s(1) in `latest` and s(2)
// in `previous`. The loop takes two taps per round so that the two states swap roles instead of
// being copied.
DSP_VECTOR_CLONES
void goertzelBlock(const double* taps, int count, const double* twiceCosine, double* latest,
                   double* previous)
{
    Lanes twoCos[kLaneGroups];
    Lanes s1[kLaneGroups] = {};
    Lanes s2[kLaneGroups] = {};
    std::memcpy(twoCos, twiceCosine, sizeof twoCos);
    int k = count - 1;
    for (; k >= 2; k -= 2) {
        const Lanes tapA = Lanes{} + taps[k];
        const Lanes tapB = Lanes{} + taps[k - 1];
#pragma GCC unroll 8
        for (int g = 0; g < kLaneGroups; ++g) {
            s2[g] = tapA - s2[g] + twoCos[g] * s1[g];
            s1[g] = tapB - s1[g] + twoCos[g] * s2[g];
        }
    }
    if (k == 1) {
        const Lanes tap = Lanes{} + taps[1];
#pragma GCC unroll 8
        for (int g = 0; g < kLaneGroups; ++g) {
            const Lanes next = tap - s2[g] + twoCos[g] * s1[g];
            s2[g] = s1[g];
            s1[g] = next;
        }
    }
    std::memcpy(latest, s1, sizeof s1);
    std::memcpy(previous, s2, sizeof s2);
}

// Evaluates up to kBlockPoints frequency indices; unused lanes run at 0 Hz and are dropped.
void sweepBlock(const std::vector<double>& taps, const double* indices, int count,
                ResponsePoint* out)
{
    const int tapCount = static_cast<int>(taps.size());
    alignas(64) double cosine[kBlockPoints];
    alignas(64) double sine[kBlockPoints];
    alignas(64) double twiceCosine[kBlockPoints];
    alignas(64) double latest[kBlockPoints];
    alignas(64) double previous[kBlockPoints];
    for (int j = 0; j < kBlockPoints; ++j) {
        const double theta = j < count ? 2 * kPi * indices[j] / tapCount : 0.0;
        cosine[j] = std::cos(theta);
        sine[j] = std::sin(theta);
        twiceCosine[j] = 2 * cosine[j];
    }
    goertzelBlock(taps.data(), tapCount, twiceCosine, latest, previous);
    // Clenshaw's closing step turns s(1), s(2) into the cosine and the sine sum.
    for (int j = 0; j < count; ++j)
        out[j] = {indices[j], taps[0] + latest[j] * cosine[j] - previous[j], latest[j] * sine[j]};
}

} // namespace

std::vector<double> frequencyIndices(int taps)
{
    const double lastIndex = taps / 2.0;
    std::vector<double> indices;
    indices.reserve(static_cast<std::size_t>(std::max(taps, 0)) * 50 + 1);
    for (double u = 0; u <= lastIndex; u += kIndexStep)
        indices.push_back(u);
    return indices;
}

std::vector<ResponsePoint> responseSweep(const std::vector<double>& taps)
{
    const std::vector<double> indices = frequencyIndices(static_cast<int>(taps.size()));
    std::vector<ResponsePoint> points(indices.size());
    if (taps.empty()) {
        for (std::size_t j = 0; j < indices.size(); ++j)
            points[j].u = indices[j];
        return points;
    }
    for (std::size_t first = 0; first < indices.size(); first += kBlockPoints) {
        const auto count = static_cast<int>(
            std::min<std::size_t>(kBlockPoints, indices.size() - first));
        sweepBlock(taps, indices.data() + first, count, points.data() + first);
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

double responseX(double u, int taps)
{
    // 936 / N units per bin: N/2 bins span the plot's 468 units.
    return kPlotLeft + u * (2 * kPlotWidth) / taps;
}

double linearTraceY(double magnitude, double scale)
{
    return kLinearZeroY - scale * magnitude;
}

double logTraceY(double magnitude, double reference)
{
    const double ratio = magnitude / reference;
    double level = kLogFloor;
    // A zero magnitude has no logarithm; like any level below the floor it is drawn there.
    if (ratio > 0 && std::isfinite(ratio))
        level = std::max(60 * std::log(ratio) / std::log(10.0), kLogFloor);
    return kLogTopY - level;
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

double phaseDegrees(const ResponsePoint& point)
{
    return phaseDegrees(point.re, -point.im);
}

double phaseTraceY(double degrees)
{
    return kPhaseZeroY - degrees / kDegreesPerUnit;
}

} // namespace dsp::fir
