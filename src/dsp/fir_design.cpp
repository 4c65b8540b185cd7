#include "dsp/fir_design.h"

#include "dsp/plot_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace dsp::fir {

namespace {

template <typename TapRule>
std::vector<double> tapTable(int taps, TapRule tapAt)
{
    std::vector<double> table;
    table.reserve(static_cast<std::size_t>(std::max(taps, 0)));
    for (int k = 1; k <= taps; ++k)
        table.push_back(tapAt(k));
    return table;
}

int distanceFromCentre(int k, int taps) { return std::abs(centreTap(taps) - k); }

// D x w: the lowpass prototype that the highpass and bandpass screens modulate.
double windowedSinc(int k, int bins, int taps)
{
    return periodicSinc(distanceFromCentre(k, taps), bins, taps) * blackmanWindow(k, taps);
}

// The bandstop's ideal value: sin at the lower edge minus sin at the upper edge over pi n, and
// 1 minus the stop band's share of 0..fs/2 at the centre.
double bandstopIdeal(int distance, double lowHz, double highHz, double samplingHz)
{
    if (distance == 0)
        return 1 + (lowHz - highHz) / (samplingHz / 2);
    const double turns = 2 * distance * kPi;
    return (std::sin(turns * (lowHz / samplingHz)) - std::sin(turns * (highHz / samplingHz)))
        * (1 / (kPi * distance));
}

// ((2 k) pi f0) / fs, formed in that order. For frequencies near the largest double the product
// overflows; f0 / fs, below one half, is then taken first.
double carrierAngle(int k, double centreHz, double samplingHz)
{
    const double turns = 2 * k * kPi;
    const double angle = turns * centreHz / samplingHz;
    return std::isfinite(angle) ? angle : turns * (centreHz / samplingHz);
}

// h = G D, formed as G M / N at the centre; the rectangular screen stores h / G as the tap.
double tapPlotHeight(int distance, int bins, int taps, double scale)
{
    if (distance == 0)
        return scale * bins / taps;
    return scale * periodicSinc(distance, bins, taps);
}

std::vector<double> tapPlotHeights(double samplingHz, double cutoffHz, int taps)
{
    const int bins = passbandBins(cutoffHz, samplingHz, taps);
    const double scale = tapPlotGain(bins, taps);
    return tapTable(
        taps, [&](int k) { return tapPlotHeight(distanceFromCentre(k, taps), bins, taps, scale); });
}

} // namespace

int passbandBins(double cutoffHz, double samplingHz, int taps)
{
    const double binHz = samplingHz / taps;
    const double wholeBins = std::floor((2 * cutoffHz) / binHz);
    // A band below fs/2 covers at most N bins. The quotient reaches N only by rounding, or runs
    // to infinity when fs/N underflows to zero for sampling rates near the smallest double.
    if (!(wholeBins < taps))
        return taps;
    return static_cast<int>(wholeBins) + 1;
}

int centreTap(int taps) { return (taps + 1) / 2; }

double blackmanWindow(int k, int taps)
{
    // The window spans N + 2 points with its zero ends (k = 0 and k = N + 1) left out, so no
    // tap is multiplied by zero.
    const int span = taps + 1;
    return 0.42 - 0.5 * std::cos(2 * kPi * k / span) + 0.08 * std::cos(4 * kPi * k / span);
}

double periodicSinc(int distance, int bins, int taps)
{
    if (distance == 0)
        return static_cast<double>(bins) / taps;
    return (std::sin(kPi * distance * bins / taps) / std::sin(kPi * distance / taps))
        * (1.0 / taps);
}

std::vector<double> rectangularLowpassTaps(double samplingHz, double cutoffHz, int taps)
{
    const double scale = tapPlotGain(passbandBins(cutoffHz, samplingHz, taps), taps);
    std::vector<double> table = tapPlotHeights(samplingHz, cutoffHz, taps);
    for (double& tap : table)
        tap /= scale;
    return table;
}

std::vector<double> rectangularLowpassSincValues(double samplingHz, double cutoffHz, int taps)
{
    const int bins = passbandBins(cutoffHz, samplingHz, taps);
    return tapTable(taps,
                    [&](int k) { return periodicSinc(distanceFromCentre(k, taps), bins, taps); });
}

std::vector<double> blackmanLowpassTaps(double samplingHz, double cutoffHz, int taps)
{
    const int bins = passbandBins(cutoffHz, samplingHz, taps);
    return tapTable(taps, [&](int k) { return windowedSinc(k, bins, taps); });
}

std::vector<double> highpassTaps(double samplingHz, double cutoffHz, int taps)
{
    const double prototypeCutoffHz = samplingHz / 2 - cutoffHz;
    const int bins = passbandBins(prototypeCutoffHz, samplingHz, taps);
    // cos(pi k) is not exactly +-1 with the five-decimal pi; the screens keep it that way.
    return tapTable(taps, [&](int k) { return std::cos(kPi * k) * windowedSinc(k, bins, taps); });
}

std::vector<double> bandpassTaps(double samplingHz, double bandwidthHz, double centreHz, int taps)
{
    const double prototypeCutoffHz = bandwidthHz / 2;
    const int bins = passbandBins(prototypeCutoffHz, samplingHz, taps);
    // The carrier's phase counts from slot 0, not from the centre, so the taps are not symmetric.
    return tapTable(taps, [&](int k) {
        return std::sin(carrierAngle(k, centreHz, samplingHz)) * windowedSinc(k, bins, taps);
    });
}

std::vector<double> bandstopTaps(double samplingHz, double bandwidthHz, double centreHz, int taps)
{
    const double highHz = centreHz + bandwidthHz / 2;
    const double lowHz = centreHz - bandwidthHz / 2;
    return tapTable(taps, [&](int k) {
        return bandstopIdeal(distanceFromCentre(k, taps), lowHz, highHz, samplingHz)
            * blackmanWindow(k, taps);
    });
}

double largestTap(const std::vector<double>& taps)
{
    double largest = 0;
    for (double tap : taps)
        largest = std::max(largest, tap);
    return largest;
}

double logReference(const std::vector<double>& taps)
{
    if (const double largest = largestTap(taps); largest > 0)
        return largest;
    double largestSize = 0;
    for (double tap : taps)
        largestSize = std::max(largestSize, std::abs(tap));
    return largestSize > 0 ? largestSize : 1.0;
}

std::vector<PlotPoint> tapPlotPoints(double samplingHz, double cutoffHz, int taps)
{
    const std::vector<double> heights = tapPlotHeights(samplingHz, cutoffHz, taps);
    std::vector<PlotPoint> points;
    points.reserve(heights.size());
    for (int k = 1; k <= static_cast<int>(heights.size()); ++k)
        points.push_back(tapPlotPoint(k, taps, heights[k - 1]));
    return points;
}

double tapPlotTopValue(double samplingHz, double cutoffHz, int taps)
{
    return static_cast<double>(passbandBins(cutoffHz, samplingHz, taps)) / taps;
}

} // namespace dsp::fir
