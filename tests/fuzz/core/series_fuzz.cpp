// The synthesis curves for harmonic counts up to 3071 and any duty cycle from 0 to 1: the number of
// points, x growing from the left edge, finite y, and agreement with the term-by-term sums for
// a few points of small counts.

#include "fuzz_check.h"

#include "dsp/series.h"
#include "support/direct_series.h"

#include <cmath>

namespace {

struct CurveKind {
    const char* name;
    std::size_t points;
    dsp::Curve (*fast)(int, double);
    double (*directY)(int, double, double); // harmonics, duty cycle, t
    double xPerT, xAtZero;                  // x = xAtZero + xPerT t
};

// clang-format off
const CurveKind kKinds[] = {
    {"square", 630, [](int n, double) { return dsp::squareWaveCurve(n); },
     [](int n, double, double t) { return dsp::direct::squareWaveY(n, t); }, 37, 10},
    {"triangle", 375, [](int n, double) { return dsp::triangleWaveCurve(n); },
     [](int n, double, double t) { return dsp::direct::triangleWaveY(n, t); }, 63, 8},
    {"sawtooth", 375, [](int n, double) { return dsp::sawtoothWaveCurve(n); },
     [](int n, double, double t) { return dsp::direct::sawtoothWaveY(n, t); }, 63, 8},
    {"full-wave", 620, [](int n, double) { return dsp::fullWaveRectifiedCurve(n); },
     [](int n, double, double t) { return dsp::direct::fullWaveRectifiedY(n, t); }, 19, 8},
    {"half-wave", 620, [](int n, double) { return dsp::halfWaveRectifiedCurve(n); },
     [](int n, double, double t) { return dsp::direct::halfWaveRectifiedY(n, t); }, 19, 8},
    {"pulse", 1235, [](int n, double d) { return dsp::pulseTrainCurve(n, d); },
     [](int n, double d, double t) { return dsp::direct::pulseTrainY(n, d, t); }, 19, 9},
};
// clang-format on

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzcheck::Bytes in(data, size);
    const CurveKind& kind = kKinds[in.byte() % 6];
    // Mostly small counts (fast, and checked against the plain sums); a byte of 0 asks for up to
    // 3071, past the sums' fresh start every 1024 terms. The largest counts, whose curves cost
    // a thousand times more, are the core tests' business.
    const std::uint8_t shape = in.byte();
    const int harmonics = shape == 0 ? in.word() % 3072 : shape % 48;
    const double dutyCycle = in.unit();
    const std::string detail = std::string(kind.name) + " " + std::to_string(harmonics)
        + " harmonics, duty " + fuzzcheck::show(dutyCycle);
    const dsp::Curve curve = kind.fast(harmonics, dutyCycle);
    FUZZ_CHECK(curve.points.size() == kind.points,
               detail + " gives " + std::to_string(curve.points.size()));
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        FUZZ_CHECK(std::isfinite(curve.points[i].x) && std::isfinite(curve.points[i].y), detail);
        if (i > 1)
            FUZZ_CHECK(curve.points[i].x > curve.points[i - 1].x, detail);
        FUZZ_CHECK(curve.points[i].x >= 8 && curve.points[i].x <= 480, detail);
    }
    // A few points against the plain sum at the same time (t recovered from x; small counts, where
    // the curve is too smooth for that rounding to show).
    if (harmonics <= 64)
        for (int probe = 0; probe < 4 && !in.empty(); ++probe) {
            const std::size_t i = 1 + in.word() % (curve.points.size() - 1);
            const double t = (curve.points[i].x - kind.xAtZero) / kind.xPerT;
            const double expected = kind.directY(harmonics, dutyCycle, t);
            FUZZ_CHECK(std::fabs(expected - curve.points[i].y) <= 1e-6,
                       detail + " point " + std::to_string(i) + ": "
                           + fuzzcheck::show(curve.points[i].y) + " against "
                           + fuzzcheck::show(expected));
        }
    return 0;
}
