#pragma once

#include <vector>

// Where an axis puts its values: at multiples of a "nice" step, 1, 2 or 5 times a power of ten,
// so a reader can count between them.
namespace dsp {

// The smallest nice step that is at least `least` (positive and finite; anything else gives 1).
double niceStepAtLeast(double least);
// The nice step after `step`: 1 -> 2 -> 5 -> 10.
double nextNiceStep(double step);

// The multiples of `step` from `from` to `to` (either order), in increasing order; each one is
// a whole number times the step, so no rounding piles up along the axis. Nothing for a step that
// is not positive, or for more than `most` of them.
std::vector<double> ticksBetween(double from, double to, double step, int most = 1000);

// Decimals that write every multiple of `step` exactly enough: 0 for steps of 1 and up.
int decimalsForStep(double step);

} // namespace dsp
