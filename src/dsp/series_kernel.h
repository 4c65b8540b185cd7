#pragma once

#include "dsp/simd.h"

#include <algorithm>
#include <cstddef>
#include <vector>

// The vector kernel under the synthesis curves: a series of sines or cosines summed at many
// times at once.
namespace dsp {

// sum over k of weights[k] * trig(n t), n = firstHarmonic + k * harmonicStep, trig = sin or cos.
struct HarmonicSeries {
    int firstHarmonic;
    int harmonicStep;
    bool sine;
    std::vector<double> weights;
};

// `terms` terms from harmonic `first` on, every `step`-th; weightOf(n) gives harmonic n's weight.
template <typename WeightOf>
HarmonicSeries makeSeries(int first, int step, int terms, bool sine, WeightOf weightOf)
{
    HarmonicSeries series{first, step, sine, {}};
    series.weights.reserve(static_cast<std::size_t>(std::max(terms, 0)));
    for (int k = 0; k < terms; ++k)
        series.weights.push_back(weightOf(first + k * step));
    return series;
}

// The series' sum at each time, with the vector width of `level`. Every level gives the same bits;
// at the curves' weights the sums stay far within 1e-9 of the term-by-term sums.
std::vector<double> sumSeries(const HarmonicSeries& series, const std::vector<double>& times,
                              simd::Level level);

} // namespace dsp
