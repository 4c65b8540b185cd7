// The response sweep on tap tables of 1 to 160 taps (each a finite value
// of the size designs give): the sweep's frequencies, its agreement with the term-by-term sums
// on short tables, every vector level's agreement with the baseline, and finite trace
// coordinates everywhere.

#include "fuzz_check.h"

#include "dsp/fir_response.h"
#include "dsp/simd.h"

#include <cmath>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzcheck::Bytes in(data, size);
    // Most runs take short tables, so the fuzzer stays fast; a first byte of 0 asks for up to 160
    // (the sweep itself costs some 50 N log N, the sums it is checked against 50 N^2 terms; the
    // core tests take it to 500).
    const std::uint8_t shape = in.byte();
    const int count = shape == 0 ? 1 + in.word() % 160 : 1 + shape % 24;
    std::vector<double> taps;
    taps.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        // Taps of designs lie within [-1, 1]; an exponent byte reaches down to the tiny ones.
        const double tap =
            (static_cast<int>(in.word()) - 32768) / 32768.0 * std::pow(2.0, -(in.byte() % 64));
        taps.push_back(tap);
    }
    using namespace dsp::fir;
    const std::string detail =
        std::to_string(count) + " taps, first " + fuzzcheck::show(taps.front());
    const std::vector<double> us = frequencyIndices(count);
    const std::vector<ResponsePoint> sweep = responseSweep(taps);
    FUZZ_CHECK(sweep.size() == us.size(), detail);
    FUZZ_CHECK(!us.empty() && us.front() == 0 && us.back() <= count / 2.0 + 1e-9, detail);
    double sumOfMagnitudes = 0;
    for (double tap : taps)
        sumOfMagnitudes += std::fabs(tap);
    double reference = 0;
    for (double tap : taps)
        reference = std::max(reference, tap);
    if (reference <= 0)
        reference = sumOfMagnitudes > 0 ? sumOfMagnitudes : 1;
    for (std::size_t j = 0; j < sweep.size(); ++j) {
        const ResponsePoint& point = sweep[j];
        FUZZ_CHECK(point.u == us[j], detail);
        const double a = magnitude(point);
        FUZZ_CHECK(std::isfinite(a) && a <= sumOfMagnitudes * (1 + 1e-9) + 1e-300, detail);
        FUZZ_CHECK(std::isfinite(responseX(point.u, count)), detail);
        FUZZ_CHECK(std::isfinite(linearTraceY(a, kLinearScale)), detail);
        const double logY = logTraceY(a, reference);
        FUZZ_CHECK(std::isfinite(logY) && logY <= 384 + 1e-9,
                   detail + " log y " + fuzzcheck::show(logY));
        const double phase = phaseDegrees(point);
        FUZZ_CHECK(std::isfinite(phase) && std::fabs(phase) <= 270,
                   detail + " phase " + fuzzcheck::show(phase));
        FUZZ_CHECK(std::isfinite(phaseTraceY(phase)), detail);
    }
    // The wide levels fuse the products between the transforms: a few roundings apart.
    for (dsp::simd::Level level : dsp::simd::kLevels) {
        if (level == dsp::simd::Level::baseline || !dsp::simd::supported(level))
            continue;
        const std::vector<ResponsePoint> base =
            responseSweepUsing(taps, dsp::simd::Level::baseline);
        const std::vector<ResponsePoint> wide = responseSweepUsing(taps, level);
        FUZZ_CHECK(wide.size() == base.size(), detail);
        const double tolerance = 1e-14 * sumOfMagnitudes;
        for (std::size_t j = 0; j < base.size(); ++j) {
            FUZZ_CHECK(wide[j].u == base[j].u && std::fabs(wide[j].re - base[j].re) <= tolerance
                           && std::fabs(wide[j].im - base[j].im) <= tolerance,
                       detail + " " + std::string(dsp::simd::name(level)) + " at u "
                           + fuzzcheck::show(base[j].u));
        }
    }
    if (count <= 8) {
        const std::vector<ResponsePoint> direct = directResponseSweep(taps);
        FUZZ_CHECK(direct.size() == sweep.size(), detail);
        for (std::size_t j = 0; j < direct.size(); ++j) {
            const double tolerance = 1e-12 * std::max(1.0, sumOfMagnitudes);
            FUZZ_CHECK(std::fabs(direct[j].re - sweep[j].re) <= tolerance
                           && std::fabs(direct[j].im - sweep[j].im) <= tolerance,
                       detail + " at u " + fuzzcheck::show(direct[j].u));
        }
    }
    return 0;
}
