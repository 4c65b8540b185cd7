#include "support/direct_series.h"

#include <cmath>

namespace dsp::direct {
namespace {

// A, as the formulas call the amplitude, in canvas units.
constexpr double kAmplitude = kCurveAmplitude;
constexpr double kZeroLine = kCurveZeroLine;

} // namespace

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

} // namespace dsp::direct
