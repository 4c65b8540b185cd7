#pragma once

#include "dsp/wave_units.h"

// The one place a harmonic's coefficient is worked out: the curves sum these very weights and the
// spectrum's table gives their magnitudes.
namespace dsp {

// The coefficient of harmonic n (0: the dc level) in the series a synthesis curve sums for a wave
// of amplitude A: the weight of sin(n t) (square, sawtooth) or cos(n t) (the others), with the
// five-decimal pi the curves use. 0 for a harmonic the series does not have (the square's and
// the triangle's even ones, the half-wave's odd ones above the fundamental, any negative n).
//
//   Square      4 A / (pi n), odd n          Full wave   2 A / pi; -4 A / (pi (4 n^2 - 1))
//   Triangle    8 A / (pi^2 n^2), odd n      Half wave   A / pi; A / 2; +-2 A / (pi (n^2 - 1)),
//   Sawtooth    2 A / (pi n)                             even n, + for 2, - for 4, ...
//   Pulse       2 A D; 4 A sin(n pi D) / (pi n)
double seriesCoefficient(Wave wave, int n, double amplitude, double dutyCycle = 0);

// Whether the wave's series sums sines of n t (the square, the sawtooth) or cosines (the others).
bool sineSeries(Wave wave);

} // namespace dsp
