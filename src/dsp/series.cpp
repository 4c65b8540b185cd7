#include "dsp/series.h"

#include "dsp/curve_sweep.h"
#include "dsp/series_coefficients.h"
#include "dsp/series_kernel.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace dsp {
namespace {

// A, as the formulas call the amplitude, in canvas units.
constexpr double kAmplitude = kCurveAmplitude;
constexpr double kZeroLine = kCurveZeroLine;

int termCount(int harmonics) { return std::max(harmonics, 0); }

HarmonicSeries triangleSeries(int harmonics)
{
    return makeSeries(1, 2, termCount(harmonics), sineSeries(Wave::Triangle),
                      [](int n) { return seriesCoefficient(Wave::Triangle, n, kAmplitude); });
}

HarmonicSeries fullWaveSeries(int harmonics)
{
    return makeSeries(1, 1, termCount(harmonics), sineSeries(Wave::FullWaveRectified), [](int n) {
        return seriesCoefficient(Wave::FullWaveRectified, n, kAmplitude);
    });
}

// Even harmonics 2 to 2N with alternating signs, + for 2, - for 4. A count of 1 adds none: the
// screen skips the loop for it, so 1 and 0 both give the dc level and the fundamental alone.
HarmonicSeries halfWaveSeries(int harmonics)
{
    const int terms = harmonics == 1 ? 0 : termCount(harmonics);
    return makeSeries(2, 2, terms, sineSeries(Wave::HalfWaveRectified), [](int n) {
        return seriesCoefficient(Wave::HalfWaveRectified, n, kAmplitude);
    });
}

double fullWaveDc() { return seriesCoefficient(Wave::FullWaveRectified, 0, kAmplitude); }
// The dc level and the fundamental, which every count draws.
double halfWaveBase(double t)
{
    return seriesCoefficient(Wave::HalfWaveRectified, 0, kAmplitude)
        + seriesCoefficient(Wave::HalfWaveRectified, 1, kAmplitude) * std::cos(t);
}
double pulseDc(double dutyCycle)
{
    return seriesCoefficient(Wave::PulseTrain, 0, kAmplitude, dutyCycle);
}

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

HarmonicSeries squareSeries(int harmonics)
{
    return makeSeries(1, 2, termCount(harmonics), sineSeries(Wave::Square),
                      [](int n) { return seriesCoefficient(Wave::Square, n, kAmplitude); });
}

HarmonicSeries sawtoothSeries(int harmonics)
{
    return makeSeries(1, 1, termCount(harmonics), sineSeries(Wave::Sawtooth),
                      [](int n) { return seriesCoefficient(Wave::Sawtooth, n, kAmplitude); });
}

// sin(n pi D) does not depend on t, so it is taken exactly once per harmonic here.
HarmonicSeries pulseSeries(int harmonics, double dutyCycle)
{
    return makeSeries(1, 1, termCount(harmonics), sineSeries(Wave::PulseTrain), [dutyCycle](int n) {
        return seriesCoefficient(Wave::PulseTrain, n, kAmplitude, dutyCycle);
    });
}

Curve squareWaveCurveUsing(int harmonics, simd::Level level)
{
    const std::vector<double> times = sweepTimes(kSquareSweep);
    const auto ys = levels(squareSeries(harmonics), times, level, belowZeroLine);
    return traceCurve({kSquareSweep.xAtZero, kZeroLine}, kSquareSweep, times, ys);
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
    return traceCurve({kWideSweep.xAtZero, kZeroLine}, kWideSweep, times, ys);
}

Curve fullWaveRectifiedCurveUsing(int harmonics, simd::Level level)
{
    const std::vector<double> times = sweepTimes(kRectifiedSweep);
    const auto ys = levels(fullWaveSeries(harmonics), times, level,
                           [](double, double sum) { return kZeroLine - (fullWaveDc() + sum); });
    return traceCurve({kRectifiedSweep.xAtZero, kZeroLine}, kRectifiedSweep, times, ys);
}

// The pen starts on the peak, a value of 1.
Curve halfWaveRectifiedCurveUsing(int harmonics, simd::Level level)
{
    const std::vector<double> times = sweepTimes(kRectifiedSweep);
    const auto ys = levels(halfWaveSeries(harmonics), times, level, [](double t, double sum) {
        return kZeroLine - (halfWaveBase(t) + sum);
    });
    return traceCurve({kRectifiedSweep.xAtZero, curveYAt(1)}, kRectifiedSweep, times, ys);
}

Curve pulseTrainCurveUsing(int harmonics, double dutyCycle, simd::Level level)
{
    const std::vector<double> times = sweepTimes(kPulseSweep);
    const double dc = pulseDc(dutyCycle);
    const auto ys = levels(pulseSeries(harmonics, dutyCycle), times, level,
                           [dc](double, double sum) { return kZeroLine - sum - dc; });
    return traceCurve({kPulseSweep.xAtZero, kZeroLine}, kPulseSweep, times, ys);
}

Curve squareWaveCurve(int harmonics) { return squareWaveCurveUsing(harmonics, simd::active()); }

Curve triangleWaveCurve(int harmonics) { return triangleWaveCurveUsing(harmonics, simd::active()); }

Curve sawtoothWaveCurve(int harmonics) { return sawtoothWaveCurveUsing(harmonics, simd::active()); }

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

} // namespace dsp
