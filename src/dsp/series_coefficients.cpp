#include "dsp/series_coefficients.h"

#include "dsp/plot.h"

#include <cmath>

namespace dsp {
namespace {

bool isOdd(int n) { return n % 2 == 1; }

// |sin(t/2)|.
double fullWave(int n, double a)
{
    if (n == 0)
        return 2 * a / kPi;
    return (a / kPi) * -4 / ((2.0 * n) * (2.0 * n) - 1);
}

// max(cos t, 0).
double halfWave(int n, double a)
{
    if (n == 0)
        return a / kPi;
    if (n == 1)
        return (a / kPi) * (kPi / 2);
    if (isOdd(n))
        return 0;
    const double sign = (n / 2) % 2 == 1 ? 1 : -1;
    return (a / kPi) * 2 * sign / (double(n) * n - 1);
}

double pulse(int n, double a, double d)
{
    if (n == 0)
        return 2 * a * d;
    return 4 * a / (n * kPi) * std::sin(n * kPi * d);
}

} // namespace

double seriesCoefficient(Wave wave, int n, double amplitude, double dutyCycle)
{
    if (n < 0)
        return 0;
    const double a = amplitude;
    switch (wave) {
    case Wave::Square:
        return isOdd(n) ? (4 * a) / kPi / n : 0;
    case Wave::Triangle:
        return isOdd(n) ? (8 * a) / (kPi * kPi) / (double(n) * n) : 0;
    case Wave::Sawtooth:
        return n == 0 ? 0 : (2 * a) / kPi / n;
    case Wave::FullWaveRectified:
        return fullWave(n, a);
    case Wave::HalfWaveRectified:
        return halfWave(n, a);
    case Wave::PulseTrain:
        return pulse(n, a, dutyCycle);
    }
    return 0;
}

bool sineSeries(Wave wave) { return wave == Wave::Square || wave == Wave::Sawtooth; }

} // namespace dsp
