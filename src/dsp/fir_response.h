#pragma once

#include "dsp/plot_geometry.h"
#include "dsp/simd.h"

#include <vector>

// The frequency response of a tap table and the plot coordinates of its traces.
//
// Frequencies are counted by the index u in bins of fs/N: u = 0 is 0 Hz, u = N/2 is fs/2.
// At u the response is R + iI with R = sum c(k+1) cos(2 pi k u / N) and
// I = sum c(k+1) sin(2 pi k u / N), k = 0..N-1, tap 1 standing at time 0.
namespace dsp::fir {

struct ResponsePoint {
    double u = 0;
    double re = 0; // R, the cosine sum
    double im = 0; // I, the sine sum; the phase uses Q = -I
};

// u = 0, 0.01, 0.02, ... while u <= N/2, each step adding 0.01 to the last value (never
// recomputed from a count), so rounding decides whether u = N/2 itself is reached: it is not
// for N = 1..4, which get 50 N points.
std::vector<double> frequencyIndices(int taps);

// The sweep the screens draw: the points above, with R and I taken at u = j / 100 for the j-th
// (the repeated addition leaves u within 1e-10 of that: 8e-11 for 500 taps), all from one
// chirp-z transform (dsp/chirp_z.h) in O(M log M) for M points instead of N M terms. At j / 100
// the sums are good to some 1e-15 of the largest magnitude; against directResponseSweep, which
// takes the drifted u, they differ by up to 3e-10 of it for 500 taps. The phase trace reuses
// them.
std::vector<ResponsePoint> responseSweep(const std::vector<double>& taps);
// Works out ahead what the sweep of `taps` taps shares with every other table of that length (its
// frequencies and transforms), for a sweep expected soon; responseSweep of such a table then
// finds it ready, or waits for it to be done if it is still being worked out.
void prepareResponseSweep(int taps);
// The same sweep with the vector width of `level` (see dsp/simd.h) for the products between
// the transforms; those fuse multiplies with adds, so the levels agree to rounding, not bit for
// bit. The form above uses simd::active().
std::vector<ResponsePoint> responseSweepUsing(const std::vector<double>& taps, simd::Level level);

// The same sums term by term, a sine and a cosine per tap, k = 0, 1, ... in order: the
// reference that responseSweep is checked against.
std::vector<ResponsePoint> directResponseSweep(const std::vector<double>& taps);

// A = sqrt(R^2 + I^2).
double magnitude(const ResponsePoint& point);

// The plot's x of u (dsp::responseXAtBin): 0 Hz on the left, fs/2 on the graticule's right edge.
double responseX(double u, int taps);

// A = 0 on the linear trace's zero line; A = 1 lies `scale` units higher (the scales,
// kLinearScale and the others, are in dsp/plot_geometry.h). Nothing is clipped.
double linearTraceY(double magnitude, double scale);

// Three units per decibel of A against `reference` (see logReference), with the floor on the
// graticule's bottom edge (dsp/plot_geometry.h). A magnitude of 0, having no logarithm, sits on
// the floor, and so does every point measured against a reference that is not positive.
double logTraceY(double magnitude, double reference);

// The phase trace's angle: arctan(Q / R) in degrees, Q = -I, moved up by 180 degrees when
// R < 0 and Q > 0 and down by 180 degrees when R < 0 and Q < 0. At R = 0, where the arctangent
// has no quotient, it is +90 or -90 by the sign of Q, and 0 when Q is 0 as well.
double phaseDegrees(double re, double q);
double phaseDegrees(const ResponsePoint& point);

// 0 degrees on the graticule's middle line, +-180 degrees near its second and eighth lines.
double phaseTraceY(double degrees);

} // namespace dsp::fir
