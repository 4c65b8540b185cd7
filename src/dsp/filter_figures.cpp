#include "dsp/filter_figures.h"

#include "dsp/response_grid.h"
#include "dsp/response_search.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>
#include <utility>

namespace dsp {

namespace {

using responsesearch::crossing;
using responsesearch::peakWithin;
using responsesearch::Response;
using responsesearch::Through;

std::optional<double> referenceX(FilterKind kind, double centreX)
{
    switch (kind) {
    case FilterKind::Lowpass:
    case FilterKind::Bandstop:
        return 0.0;
    case FilterKind::Highpass:
        return 0.5;
    case FilterKind::Bandpass:
        if (centreX >= 0 && centreX <= 0.5)
            return centreX;
        return std::nullopt;
    }
    return std::nullopt;
}

// One way out of the reference frequency to the end of the range, finding one edge.
struct Side {
    double start;
    double end;
};

// The ways out of the reference, in the order of the edges they find.
std::vector<Side> sidesOf(FilterKind kind, double reference)
{
    switch (kind) {
    case FilterKind::Lowpass:
        return {{0, 0.5}};
    case FilterKind::Highpass:
        return {{0.5, 0}};
    case FilterKind::Bandpass:
        return {{reference, 0}, {reference, 0.5}};
    case FilterKind::Bandstop:
        return {{0, 0.5}, {0.5, 0}};
    }
    return {};
}

struct Edge {
    std::optional<double> minus3db, minus6db; // cycles per sample
    std::optional<double> nine, one;          // the 0.9 G and 0.1 G points
};

Edge measureEdge(const Response& response, const Side& side, double gain)
{
    Edge edge;
    edge.minus3db =
        crossing(response, side.start, side.end, gain / std::numbers::sqrt2, Through::Falling);
    edge.minus6db = crossing(response, side.start, side.end, gain / 2, Through::Falling);
    if (edge.minus6db) {
        edge.nine = crossing(response, *edge.minus6db, side.start, 0.9 * gain, Through::Rising);
        edge.one = crossing(response, *edge.minus6db, side.end, 0.1 * gain, Through::Falling);
    }
    return edge;
}

// The largest |H| of the stop band that starts at `edge`'s 0.1 G point and runs along `side`
// to `end`; none where the edge or its 0.1 G point does not exist.
std::optional<double> stopBandPeak(const Response& response, const Edge& edge, double end)
{
    if (!edge.one)
        return std::nullopt;
    return peakWithin(response, std::min(*edge.one, end), std::max(*edge.one, end));
}

// The peaks of the stop bands, in frequency order (see FilterFigures::stopbandPeakDb).
std::vector<std::optional<double>> stopBandPeaks(const Response& response, FilterKind kind,
                                                 const std::vector<Side>& sides,
                                                 const std::vector<Edge>& edges)
{
    if (kind != FilterKind::Bandstop) {
        std::vector<std::optional<double>> peaks;
        for (std::size_t s = 0; s < sides.size(); ++s)
            peaks.push_back(stopBandPeak(response, edges[s], sides[s].end));
        return peaks;
    }
    // Without an upper edge the band runs up to fs/2; an upper edge without a 0.1 G point
    // bounds a band that never went below it.
    const Edge& upper = edges[1];
    if (upper.minus6db && !upper.one)
        return {std::nullopt};
    return {stopBandPeak(response, edges[0], upper.one.value_or(0.5))};
}

std::optional<double> finite(double value)
{
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// Where a pass band ends at an edge: its 0.9 G point; `open` where the edge does not exist.
std::optional<double> passBandEnd(const Edge& edge, double open)
{
    return edge.minus6db ? edge.nine : std::optional<double>(open);
}

// 20 log10(largest / smallest |H|) from `low` to `high`: the largest refined on the exact sum,
// the smallest from the grid and the ends (the grid's 64 points a tap keep it within 0.02 dB).
std::optional<double> rippleDb(const Response& response, std::optional<double> low,
                               std::optional<double> high)
{
    if (!low || !high || *low > *high)
        return std::nullopt;
    double largest = std::max(response.exact(*low), response.exact(*high));
    double smallest = std::min(response.exact(*low), response.exact(*high));
    if (const std::optional<double> peak = peakWithin(response, *low, *high))
        largest = std::max(largest, *peak);
    for (std::ptrdiff_t i = response.firstBeyond(*low, 1);
         response.holds(i) && response.x(i) < *high; ++i)
        smallest = std::min(smallest, response.grid(i));
    if (!(smallest > 0))
        return std::nullopt;
    return finite(20 * std::log10(largest / smallest));
}

// The ripple of each pass band, in frequency order (see FilterFigures::passbandRippleDb).
SideFigures passBandRipples(const Response& response, FilterKind kind,
                            const std::vector<Edge>& edges)
{
    switch (kind) {
    case FilterKind::Lowpass:
        return {rippleDb(response, 0.0, passBandEnd(edges[0], 0.5))};
    case FilterKind::Highpass:
        return {rippleDb(response, passBandEnd(edges[0], 0.0), 0.5)};
    case FilterKind::Bandpass:
        return {rippleDb(response, passBandEnd(edges[0], 0.0), passBandEnd(edges[1], 0.5))};
    case FilterKind::Bandstop:
        return {rippleDb(response, 0.0, passBandEnd(edges[0], 0.5)),
                rippleDb(response, passBandEnd(edges[1], 0.0), 0.5)};
    }
    return SideFigures(passBandCount(kind));
}

std::optional<double> hertz(std::optional<double> x, double samplingHz)
{
    return x ? finite(*x * samplingHz) : std::nullopt;
}

void collect(FilterFigures& out, const std::vector<Edge>& edges, double samplingHz)
{
    for (std::size_t e = 0; e < edges.size(); ++e) {
        const Edge& edge = edges[e];
        out.minus3dbHz[e] = hertz(edge.minus3db, samplingHz);
        out.minus6dbHz[e] = hertz(edge.minus6db, samplingHz);
        if (edge.nine && edge.one)
            out.transitionHz[e] = hertz(std::abs(*edge.one - *edge.nine), samplingHz);
    }
}

FilterFigures noFigures(FilterKind kind)
{
    const SideFigures edges(edgeCount(kind));
    return {std::nullopt,
            edges,
            edges,
            edges,
            SideFigures(stopBandCount(kind)),
            SideFigures(passBandCount(kind))};
}

} // namespace

std::size_t edgeCount(FilterKind kind)
{
    return kind == FilterKind::Bandpass || kind == FilterKind::Bandstop ? 2 : 1;
}

std::size_t stopBandCount(FilterKind kind) { return kind == FilterKind::Bandpass ? 2 : 1; }

std::size_t passBandCount(FilterKind kind) { return kind == FilterKind::Bandstop ? 2 : 1; }

FilterFigures measureFilter(const std::vector<double>& taps, double samplingHz, FilterKind kind,
                            double centreHz)
{
    FilterFigures figures = noFigures(kind);
    if (!(samplingHz > 0 && std::isfinite(samplingHz)) || taps.size() > kMaxMeasuredTaps)
        return figures;
    const std::optional<ScaledTaps> scaled = scaledTaps(taps);
    const std::optional<double> reference = referenceX(kind, centreHz / samplingHz);
    if (!scaled || !reference)
        return figures;
    const Response response(scaled->taps);
    const double gain = response.exact(*reference);
    if (!(gain > 0))
        return figures;
    figures.referenceGain = finite(std::ldexp(gain, scaled->exponent));
    const std::vector<Side> sides = sidesOf(kind, *reference);
    std::vector<Edge> edges;
    for (const Side& side : sides)
        edges.push_back(measureEdge(response, side, gain));
    collect(figures, edges, samplingHz);
    const auto peaks = stopBandPeaks(response, kind, sides, edges);
    for (std::size_t b = 0; b < peaks.size(); ++b) {
        if (peaks[b] && *peaks[b] > 0)
            figures.stopbandPeakDb[b] = finite(20 * std::log10(*peaks[b] / gain));
    }
    figures.passbandRippleDb = passBandRipples(response, kind, edges);
    return figures;
}

ExactResponse exactResponseAt(const std::vector<double>& taps, double samplingHz,
                              double frequencyHz)
{
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const double x = frequencyHz / samplingHz;
    if (!(samplingHz > 0 && std::isfinite(samplingHz) && std::isfinite(x)))
        return {kNaN, kNaN};
    for (double tap : taps) {
        if (!std::isfinite(tap))
            return {kNaN, kNaN};
    }
    const std::optional<ScaledTaps> scaled = scaledTaps(taps);
    if (!scaled)
        return {0, 0};
    const std::complex<double> h = exactSum(scaled->taps, x);
    // Adding 0 turns an imaginary part of -0 into +0, so a negative real H reads 180, not -180.
    return {std::ldexp(std::abs(h), scaled->exponent),
            std::atan2(h.imag() + 0.0, h.real()) * (180 / std::numbers::pi)};
}

} // namespace dsp
