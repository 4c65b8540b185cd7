#include "dsp/wave_units.h"

#include <algorithm>
#include <cmath>
#include <iterator>

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

bool finite(const CurveRow& row) { return std::isfinite(row.time) && std::isfinite(row.value); }

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
    rows.reserve(curve.points.size() - 1);
    for (auto p = std::next(curve.points.begin()); p != curve.points.end(); ++p)
        rows.push_back({timeAtX(wave, p->x), valueAtY(wave, p->y)});
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

std::optional<double> overshootPercent(Wave wave, const Curve& curve, double dutyCycle)
{
    const auto levels = jumpLevels(wave, dutyCycle);
    const std::vector<CurveRow> rows = curveInSeriesUnits(wave, curve);
    if (!levels || rows.empty() || !std::all_of(rows.begin(), rows.end(), finite))
        return std::nullopt;
    double highest = rows.front().value;
    for (const CurveRow& row : rows)
        highest = std::max(highest, row.value);
    const auto [lower, upper] = *levels;
    return (highest - upper) / (upper - lower) * 100;
}

} // namespace dsp
