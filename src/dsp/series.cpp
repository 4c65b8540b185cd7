#include "dsp/series.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <functional>

namespace dsp {
namespace {

constexpr double kAmplitude = 63; // A: the synthesised peak, in logical units
constexpr double kZeroLine = 196; // the graticule's middle line
constexpr double kRightEdge = 478;

// ---- Time axes ------------------------------------------------------------------------------

// One screen's sweep: t = 0, then t += step (repeated addition, so t carries the rounding of
// every addition as the screens' loops do) while t <= lastTime and, on the screens that clip,
// while the point stays left of the graticule's right edge.
struct Sweep {
    double step;
    double lastTime;
    double xAtZero;
    double xPerRadian;
    bool clipsAtRightEdge;

    double xAt(double t) const { return xPerRadian * t + xAtZero; }
};

constexpr Sweep kSquareSweep{0.02, 4 * kPi, 10, 37, false};
constexpr Sweep kWideSweep{0.02, 4 * kPi, 8, 63, true};
constexpr Sweep kRectifiedSweep{0.04, 8 * kPi, 8, 19, true};
constexpr Sweep kPulseSweep{0.02, 7.85 * kPi, 9, 19, false};

std::vector<double> sweepTimes(const Sweep& sweep)
{
    std::vector<double> times;
    for (double t = 0; t <= sweep.lastTime; t += sweep.step) {
        if (sweep.clipsAtRightEdge && sweep.xAt(t) > kRightEdge)
            break;
        times.push_back(t);
    }
    return times;
}

Curve traceCurve(PlotPoint start, const Sweep& sweep, const std::vector<double>& times,
                 const std::vector<double>& ys)
{
    Curve curve;
    curve.points.reserve(times.size() + 1);
    curve.points.push_back(start);
    for (std::size_t i = 0; i < times.size(); ++i)
        curve.points.push_back({sweep.xAt(times[i]), ys[i]});
    return curve;
}

Curve traceCurve(PlotPoint start, const Sweep& sweep, const std::function<double(double)>& yAt)
{
    const std::vector<double> times = sweepTimes(sweep);
    std::vector<double> ys(times.size());
    std::transform(times.begin(), times.end(), ys.begin(), yAt);
    return traceCurve(start, sweep, times, ys);
}

// ---- Fast summation -------------------------------------------------------------------------

// sum over k of weights[k] * trig(n t), n = firstHarmonic + k * harmonicStep, trig = sin or cos.
struct HarmonicSeries {
    int firstHarmonic;
    int harmonicStep;
    bool sine;
    std::vector<double> weights;
};

template <typename WeightOf>
HarmonicSeries makeSeries(int first, int step, int terms, bool sine, WeightOf weightOf)
{
    HarmonicSeries series{first, step, sine, {}};
    series.weights.reserve(static_cast<std::size_t>(std::max(terms, 0)));
    for (int k = 0; k < terms; ++k)
        series.weights.push_back(weightOf(first + k * step));
    return series;
}

// Time points are summed side by side, a few vectors of them in flight so that the latency of
// each rotation is hidden. The sums walk e^{int} up the harmonics by complex rotation and seed it
// afresh from sin and cos every kReseedEvery terms, which keeps the rotation's drift far below
// 1e-9 units.
constexpr int kBlock = 32;
constexpr std::size_t kReseedEvery = 1024;

// For a sine series the phasor is started a quarter turn back, e^{i(nt - pi/2)}, so that its real
// part is sin(nt): one code path serves both kinds. Seeds take sin and cos of exactly n * t, as the
// plain sums do.
void seedPhasors(bool sine, double harmonic, const double* times, int count, double* re,
                 double* im)
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

DSP_SIMD_AVX512 void sumBlockAvx512(const HarmonicSeries& series, const double* times,
                                    double* sums)
{
    sumBlockWith<8, 4>(series, times, sums);
}

constexpr simd::Variants<BlockSum> kBlockSums{sumBlockBaseline, sumBlockAvx2, sumBlockAvx512};
#else
constexpr simd::Variants<BlockSum> kBlockSums{sumBlockBaseline, nullptr, nullptr};
#endif

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

// ---- The six series -------------------------------------------------------------------------

int termCount(int harmonics) { return std::max(harmonics, 0); }

HarmonicSeries squareSeries(int harmonics)
{
    return makeSeries(1, 2, termCount(harmonics), true,
                      [](int n) { return (4 * kAmplitude) / kPi / n; });
}

HarmonicSeries triangleSeries(int harmonics)
{
    return makeSeries(1, 2, termCount(harmonics), false,
                      [](int n) { return (8 * kAmplitude) / (kPi * kPi) / (double(n) * n); });
}

HarmonicSeries sawtoothSeries(int harmonics)
{
    return makeSeries(1, 1, termCount(harmonics), true,
                      [](int n) { return (2 * kAmplitude) / kPi / n; });
}

HarmonicSeries fullWaveSeries(int harmonics)
{
    return makeSeries(1, 1, termCount(harmonics), false, [](int n) {
        return (kAmplitude / kPi) * -4 / ((2.0 * n) * (2.0 * n) - 1);
    });
}

// Even harmonics 2 to 2N with alternating signs, + for 2, - for 4. A count of 1 adds none: the
// screen skips the loop for it, so 1 and 0 both give the dc level and the fundamental alone.
HarmonicSeries halfWaveSeries(int harmonics)
{
    const int terms = harmonics == 1 ? 0 : termCount(harmonics);
    return makeSeries(2, 2, terms, false, [](int n) {
        const double sign = (n / 2) % 2 == 1 ? 1 : -1;
        return (kAmplitude / kPi) * 2 * sign / (double(n) * n - 1);
    });
}

// sin(n pi D) does not depend on t, so it is taken exactly once per harmonic here.
HarmonicSeries pulseSeries(int harmonics, double dutyCycle)
{
    return makeSeries(1, 1, termCount(harmonics), false, [dutyCycle](int n) {
        return 4 * kAmplitude / (n * kPi) * std::sin(n * kPi * dutyCycle);
    });
}

double fullWaveDc() { return 2 * kAmplitude / kPi; }
double halfWaveBase(double t) { return (kAmplitude / kPi) * (1 + (kPi / 2) * std::cos(t)); }
double pulseDc(double dutyCycle) { return 2 * kAmplitude * dutyCycle; }

// The curve's y for each time from the series sums there.
template <typename YOf>
std::vector<double> levels(const HarmonicSeries& series, const std::vector<double>& times,
                           simd::Level level, YOf yOf)
{
    std::vector<double> ys = sumSeries(series, times, level);
    for (std::size_t i = 0; i < ys.size(); ++i)
        ys[i] = yOf(times[i], ys[i]);
    return ys;
}

double belowZeroLine(double, double sum) { return kZeroLine - sum; }

} // namespace

Curve squareWaveCurveUsing(int harmonics, simd::Level level)
{
    const std::vector<double> times = sweepTimes(kSquareSweep);
    const auto ys = levels(squareSeries(harmonics), times, level, belowZeroLine);
    return traceCurve({10, kZeroLine}, kSquareSweep, times, ys);
}

// Every cosine is 1 at t = 0, so the pen starts on the curve's own first point.
Curve triangleWaveCurveUsing(int harmonics, simd::Level level)
{
    const std::vector<double> times = sweepTimes(kWideSweep);
    const auto ys = levels(triangleSeries(harmonics), times, level, belowZeroLine);
    return traceCurve({kWideSweep.xAtZero, ys.front()}, kWideSweep, times, ys);
}

Curve sawtoothWaveCurveUsing(int harmonics, simd::Level level)
{
    const std::vector<double> times = sweepTimes(kWideSweep);
    const auto ys = levels(sawtoothSeries(harmonics), times, level, belowZeroLine);
    return traceCurve({8, kZeroLine}, kWideSweep, times, ys);
}

Curve fullWaveRectifiedCurveUsing(int harmonics, simd::Level level)
{
    const std::vector<double> times = sweepTimes(kRectifiedSweep);
    const auto ys = levels(fullWaveSeries(harmonics), times, level,
                           [](double, double sum) { return kZeroLine - (fullWaveDc() + sum); });
    return traceCurve({8, kZeroLine}, kRectifiedSweep, times, ys);
}

// The pen starts on the peak, 196 - A.
Curve halfWaveRectifiedCurveUsing(int harmonics, simd::Level level)
{
    const std::vector<double> times = sweepTimes(kRectifiedSweep);
    const auto ys = levels(halfWaveSeries(harmonics), times, level,
                           [](double t, double sum) { return kZeroLine - (halfWaveBase(t) + sum); });
    return traceCurve({8, kZeroLine - kAmplitude}, kRectifiedSweep, times, ys);
}

Curve pulseTrainCurveUsing(int harmonics, double dutyCycle, simd::Level level)
{
    const std::vector<double> times = sweepTimes(kPulseSweep);
    const double dc = pulseDc(dutyCycle);
    const auto ys = levels(pulseSeries(harmonics, dutyCycle), times, level,
                           [dc](double, double sum) { return kZeroLine - sum - dc; });
    return traceCurve({9, kZeroLine}, kPulseSweep, times, ys);
}

Curve squareWaveCurve(int harmonics)
{
    return squareWaveCurveUsing(harmonics, simd::active());
}

Curve triangleWaveCurve(int harmonics)
{
    return triangleWaveCurveUsing(harmonics, simd::active());
}

Curve sawtoothWaveCurve(int harmonics)
{
    return sawtoothWaveCurveUsing(harmonics, simd::active());
}

Curve fullWaveRectifiedCurve(int harmonics)
{
    return fullWaveRectifiedCurveUsing(harmonics, simd::active());
}

Curve halfWaveRectifiedCurve(int harmonics)
{
    return halfWaveRectifiedCurveUsing(harmonics, simd::active());
}

Curve pulseTrainCurve(int harmonics, double dutyCycle)
{
    return pulseTrainCurveUsing(harmonics, dutyCycle, simd::active());
}

namespace direct {

double squareWaveY(int harmonics, double t)
{
    double v = 0;
    for (int n = 1; n <= 2 * harmonics - 1; n += 2)
        v += ((4 * kAmplitude) / kPi) * std::sin(n * t) / n;
    return kZeroLine - v;
}

double triangleWaveY(int harmonics, double t)
{
    double v = 0;
    for (int n = 1; n <= 2 * harmonics - 1; n += 2)
        v += ((8 * kAmplitude) / (kPi * kPi)) * std::cos(n * t) / (double(n) * n);
    return kZeroLine - v;
}

double sawtoothWaveY(int harmonics, double t)
{
    double v = 0;
    for (int n = 1; n <= harmonics; ++n)
        v += ((2 * kAmplitude) / kPi) * std::sin(n * t) / n;
    return kZeroLine - v;
}

double fullWaveRectifiedY(int harmonics, double t)
{
    double sum = 0;
    for (int n = 1; n <= harmonics; ++n)
        sum += (kAmplitude / kPi) * (-4 * std::cos(n * t)) / ((2.0 * n) * (2.0 * n) - 1);
    return kZeroLine - (2 * kAmplitude / kPi + sum);
}

double halfWaveRectifiedY(int harmonics, double t)
{
    double y = (kAmplitude / kPi) * (1 + (kPi / 2) * std::cos(t));
    if (harmonics != 1) {
        for (int n = 2; n <= 2 * harmonics; n += 2)
            y += (kAmplitude / kPi) * 2 * std::pow(-1.0, n / 2 + 1) * std::cos(n * t)
                 / (double(n) * n - 1);
    }
    return kZeroLine - y;
}

double pulseTrainY(int harmonics, double dutyCycle, double t)
{
    double y = 0;
    for (int n = 1; n <= harmonics; ++n)
        y += (4 * kAmplitude * std::cos(n * t) / (n * kPi)) * std::sin(n * kPi * dutyCycle);
    return kZeroLine - y - 2 * kAmplitude * dutyCycle;
}

Curve squareWaveCurve(int harmonics)
{
    return traceCurve({10, kZeroLine}, kSquareSweep,
                      [harmonics](double t) { return squareWaveY(harmonics, t); });
}

Curve triangleWaveCurve(int harmonics)
{
    return traceCurve({8, triangleWaveY(harmonics, 0)}, kWideSweep,
                      [harmonics](double t) { return triangleWaveY(harmonics, t); });
}

Curve sawtoothWaveCurve(int harmonics)
{
    return traceCurve({8, kZeroLine}, kWideSweep,
                      [harmonics](double t) { return sawtoothWaveY(harmonics, t); });
}

Curve fullWaveRectifiedCurve(int harmonics)
{
    return traceCurve({8, kZeroLine}, kRectifiedSweep,
                      [harmonics](double t) { return fullWaveRectifiedY(harmonics, t); });
}

Curve halfWaveRectifiedCurve(int harmonics)
{
    return traceCurve({8, kZeroLine - kAmplitude}, kRectifiedSweep,
                      [harmonics](double t) { return halfWaveRectifiedY(harmonics, t); });
}

Curve pulseTrainCurve(int harmonics, double dutyCycle)
{
    return traceCurve({9, kZeroLine}, kPulseSweep, [harmonics, dutyCycle](double t) {
        return pulseTrainY(harmonics, dutyCycle, t);
    });
}

} // namespace direct

} // namespace dsp
