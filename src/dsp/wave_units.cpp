#include "dsp/wave_units.h"

#include "dsp/answer.h"
#include "dsp/series.h"
#include "dsp/series_kernel.h"
#include "dsp/simd.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <limits>
#include <numbers>

namespace dsp {
namespace {

const Sweep& sweepOf(Wave wave)
{
    switch (wave) {
    case Wave::Square:
        return kSquareSweep;
    case Wave::Triangle:
    case Wave::Sawtooth:
        return kWideSweep;
    case Wave::FullWaveRectified:
    case Wave::HalfWaveRectified:
        return kRectifiedSweep;
    case Wave::PulseTrain:
        break;
    }
    return kPulseSweep;
}

// ---- The highest sum beside a jump --------------------------------------------------------

// A jump of the sum, and how far beside it to look: from `at` towards later times (inward +1) or
// earlier ones (-1), on the upper level's side, for at most `room`, halfway to the next jump.
struct Jump {
    double at;
    double inward;
    double room;
};

// The sums jump where their own terms do, which is not always where the ideal wave does: the
// square's sines at 0 and pi whatever pi divides their weights, the pulse train's cosines at
// +-kPi D, where sin(n kPi D) puts its edges.
std::vector<Jump> jumpsOf(Wave wave, double dutyCycle)
{
    constexpr double pi = std::numbers::pi;
    const double edge = kPi * dutyCycle;
    switch (wave) {
    case Wave::Square:
        return {{0, 1, pi / 2}, {pi, -1, pi / 2}};
    case Wave::Sawtooth:
        return {{0, 1, pi}};
    case Wave::PulseTrain:
        return {{-edge, 1, edge}, {edge, -1, edge}};
    case Wave::Triangle:
    case Wave::FullWaveRectified:
    case Wave::HalfWaveRectified:
        break;
    }
    return {};
}

HarmonicSeries jumpingSeries(Wave wave, int harmonics, double dutyCycle)
{
    if (wave == Wave::Square)
        return squareSeries(harmonics);
    if (wave == Wave::Sawtooth)
        return sawtoothSeries(harmonics);
    return pulseSeries(harmonics, dutyCycle);
}

// The period of the series' highest harmonic, the ripple beside a jump: 2 pi / N for the sawtooth
// and the pulse train, 2 pi / (2N - 1), about pi / N, for the square's odd harmonics.
double ripple(const HarmonicSeries& series)
{
    const double terms = static_cast<double>(series.weights.size());
    return 2 * std::numbers::pi / (series.firstHarmonic + (terms - 1) * series.harmonicStep);
}

// The highest hump lies within the first ripple beside a jump, its crest about half a ripple
// out; four ripples hold it with room to spare.
constexpr double kRipplesSearched = 4;
// Four ripples at 64 points: 16 a ripple, so some 8 points on every hump.
constexpr int kScanPoints = 64;
// A scanned hump's best point's neighbours are searched again and again at 31 points, one block
// of the kernel's 32 sums: the bracket shrinks 15 times a round, and the last best point, in the
// middle, stays in the grid. Six rounds take it from 1/8 of a ripple to 1e-8 of one, where the
// crest lies within 1e-15 of its height.
constexpr int kZoomPoints = 31;
constexpr int kZoomRounds = 6;

// `count` evenly spaced times from `from` to `to`, both ends included.
std::vector<double> evenTimes(double from, double to, int count)
{
    std::vector<double> times(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        times[static_cast<std::size_t>(i)] = from + (to - from) * i / (count - 1);
    return times;
}

std::vector<double> sumsAt(const HarmonicSeries& series, const std::vector<double>& times)
{
    return sumSeries(series, times, simd::active());
}

// The highest sum on [from, to], one hump's crest inside. The kernel sums 32 times as fast as
// one, so a grid a round beats a golden-section search, which would pay a block for each time.
double crest(const HarmonicSeries& series, double from, double to)
{
    double highest = -std::numeric_limits<double>::infinity();
    for (int round = 0; round < kZoomRounds; ++round) {
        const std::vector<double> times = evenTimes(from, to, kZoomPoints);
        const std::vector<double> sums = sumsAt(series, times);
        const auto best = std::max_element(sums.begin(), sums.end()) - sums.begin();
        highest = std::max(highest, sums[static_cast<std::size_t>(best)]);
        from = times[static_cast<std::size_t>(std::max<std::ptrdiff_t>(best - 1, 0))];
        to = times[static_cast<std::size_t>(std::min<std::ptrdiff_t>(best + 1, kZoomPoints - 1))];
    }
    return highest;
}

// How far below its crest the nearest of points `step` apart may lie: the sum's curvature is at
// most the sum of |weight| n^2, and the crest is at most step / 2 from a point.
double crestMiss(const HarmonicSeries& series, double step)
{
    double curvature = 0;
    for (std::size_t k = 0; k < series.weights.size(); ++k) {
        const double n = series.firstHarmonic + double(k) * series.harmonicStep;
        curvature += std::abs(series.weights[k]) * n * n;
    }
    return curvature / 2 * (step / 2) * (step / 2);
}

// The highest sum on [from, to]: a scan, then the crest of every scanned hump that could still
// be the highest (two humps of a pulse train may come close).
double highestSum(const HarmonicSeries& series, double from, double to)
{
    const std::vector<double> times = evenTimes(from, to, kScanPoints);
    const std::vector<double> sums = sumsAt(series, times);
    const double best = *std::max_element(sums.begin(), sums.end());
    const double miss = crestMiss(series, times[1] - times[0]);
    double highest = best;
    const std::size_t last = sums.size() - 1;
    for (std::size_t i = 0; i <= last; ++i) {
        // A hump's top point: the last of equal ones, so a flat run is searched once.
        const bool top = (i == 0 || sums[i] >= sums[i - 1]) && (i == last || sums[i] > sums[i + 1]);
        if (top && sums[i] >= best - miss)
            highest = std::max(
                highest, crest(series, times[i == 0 ? 0 : i - 1], times[std::min(i + 1, last)]));
    }
    return highest;
}

} // namespace

WaveAxes waveAxes(Wave wave)
{
    const Sweep& sweep = sweepOf(wave);
    return {sweep.xAtZero, sweep.xPerRadian, kCurveZeroLine, -kCurveAmplitude};
}

double timeAtX(Wave wave, double x)
{
    const WaveAxes axes = waveAxes(wave);
    return (x - axes.xAtZero) / axes.xPerTime;
}

double valueAtY(Wave wave, double y)
{
    const WaveAxes axes = waveAxes(wave);
    return (y - axes.yAtZero) / axes.yPerValue;
}

std::vector<CurveRow> curveInSeriesUnits(Wave wave, const Curve& curve)
{
    std::vector<CurveRow> rows;
    if (curve.points.empty())
        return rows;
    // Time from the point's number in one division by a whole number of steps per radian, so
    // it is the double nearest k times the step, not x mapped back with its rounding.
    const double stepsPerRadian = std::round(1 / sweepOf(wave).step);
    rows.reserve(curve.points.size() - 1);
    for (std::size_t k = 1; k < curve.points.size(); ++k)
        rows.push_back({double(k - 1) / stepsPerRadian, valueAtY(wave, curve.points[k].y)});
    return rows;
}

// Square: (4 A / pi) sum sin(n t) / n is A on (0, pi) and -A after. Sawtooth: (2 A / pi) sum
// sin(n t) / n is A (1 - t / pi) on (0, 2 pi). Pulse train: 2 A D + (4 A / pi) sum sin(n pi D)
// cos(n t) / n is 2 A inside the pulse and 0 outside; with D = 0 or 1 there is only one of them.
std::optional<std::pair<double, double>> jumpLevels(Wave wave, double dutyCycle)
{
    switch (wave) {
    case Wave::Square:
    case Wave::Sawtooth:
        return std::pair{-1.0, 1.0};
    case Wave::PulseTrain:
        if (dutyCycle > 0 && dutyCycle < 1)
            return std::pair{0.0, 2.0};
        return std::nullopt;
    case Wave::Triangle:
    case Wave::FullWaveRectified:
    case Wave::HalfWaveRectified:
        break;
    }
    return std::nullopt;
}

std::optional<double> overshootPercent(Wave wave, int harmonics, double dutyCycle)
{
    const auto levels = jumpLevels(wave, dutyCycle);
    if (!levels || harmonics < 1 || harmonics > kMostHarmonics)
        return std::nullopt;
    const HarmonicSeries series = jumpingSeries(wave, harmonics, dutyCycle);
    const double window = kRipplesSearched * ripple(series);
    double highest = -std::numeric_limits<double>::infinity();
    for (const Jump& jump : jumpsOf(wave, dutyCycle)) {
        const double beyond = jump.at + jump.inward * std::min(window, jump.room);
        highest = std::max(
            highest, highestSum(series, std::min(jump.at, beyond), std::max(jump.at, beyond)));
    }
    // The sums are in canvas units; the pulse train's dc term 2 A D comes on top.
    const double dc = wave == Wave::PulseTrain ? 2 * dutyCycle : 0;
    const double peak = highest / kCurveAmplitude + dc;
    const auto [lower, upper] = *levels;
    return (peak - upper) / (upper - lower) * 100;
}

} // namespace dsp
