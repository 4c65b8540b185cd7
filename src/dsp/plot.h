#pragma once

namespace dsp {

// The screens' formulas use a five-decimal pi everywhere: synthesis, spectrum and filter
// formulas alike. Several visible results (near-zero taps, unequal mirror taps, tiny even-harmonic
// lines) come from it, so it is never replaced by the full-precision constant.
inline constexpr double kPi = 3.14159;

// A position on a canvas, in logical units (640 across, 480 down, origin at the top left).
struct PlotPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const PlotPoint&, const PlotPoint&) = default;
};

// A stroke to replay on a canvas: a line from `from` to `to` with the given palette colour and
// pen width, or a single point when both ends are the same.
struct Stroke {
    PlotPoint from;
    PlotPoint to;
    int palette = 0;
    int width = 1;
    bool isPoint() const { return from == to; }
};

} // namespace dsp
