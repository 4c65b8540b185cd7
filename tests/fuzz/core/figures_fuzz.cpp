// The measured figures of a design on any tap table (raw doubles included: NaN, infinities,
// subnormals), any sampling rate and centre: never NaN or infinite, one entry per edge and per
// stop band, crossings ascending within 0..fs/2, and nothing at all without a usable gain. The
// read-out under the pointer gives NaN only for inputs that are not finite.

#include "fuzz_check.h"

#include "dsp/filter_figures.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Taps of designs lie within [-1, 1]; an exponent byte reaches the tiny and the huge ones, and
// a first byte of 0 takes raw doubles.
double tap(fuzzcheck::Bytes& in, bool raw)
{
    if (raw)
        return in.rawDouble();
    const double mantissa = (static_cast<int>(in.word()) - 32768) / 32768.0;
    return std::ldexp(mantissa, static_cast<int>(in.byte() % 64) - 40);
}

void checkList(const dsp::SideFigures& hz, std::size_t sides, double samplingHz,
               const std::string& detail)
{
    FUZZ_CHECK(hz.size() == sides, detail);
    std::vector<double> present;
    for (const auto& value : hz)
        if (value)
            present.push_back(*value);
    FUZZ_CHECK(std::is_sorted(present.begin(), present.end()), detail);
    for (double value : present)
        FUZZ_CHECK(std::isfinite(value) && value >= 0 && value <= samplingHz / 2,
                   detail + " at " + fuzzcheck::show(value));
}

bool allNull(const dsp::SideFigures& list)
{
    return std::none_of(list.begin(), list.end(), [](const auto& value) { return value; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzcheck::Bytes in(data, size);
    const std::uint8_t shape = in.byte();
    const bool raw = shape == 0;
    const auto kind = static_cast<dsp::FilterKind>(in.byte() % 4);
    const double samplingHz = in.byte() % 8 == 0 ? in.rawDouble() : 1 + in.word();
    const double centreHz = in.byte() % 8 == 0 ? in.rawDouble() : samplingHz / 2 * in.unit();
    // Mostly short tables; a shape byte of 1 asks for up to 4096 taps (a grid of 2^18 points).
    const int count = shape == 1 ? 1 + in.word() % 4096 : shape % 48;
    std::vector<double> taps;
    for (int k = 0; k < count; ++k)
        taps.push_back(tap(in, raw));
    const std::string detail = std::to_string(count) + " taps, kind "
        + std::to_string(static_cast<int>(kind)) + ", fs " + fuzzcheck::show(samplingHz)
        + ", centre " + fuzzcheck::show(centreHz);

    const dsp::FilterFigures figures = dsp::measureFilter(taps, samplingHz, kind, centreHz);
    const std::size_t sides =
        kind == dsp::FilterKind::Bandpass || kind == dsp::FilterKind::Bandstop ? 2 : 1;
    checkList(figures.minus3dbHz, sides, samplingHz, detail + " -3 dB");
    checkList(figures.minus6dbHz, sides, samplingHz, detail + " -6 dB");
    FUZZ_CHECK(figures.transitionHz.size() == sides, detail);
    for (const auto& width : figures.transitionHz)
        FUZZ_CHECK(!width || (std::isfinite(*width) && *width >= 0 && *width <= samplingHz / 2),
                   detail);
    const std::size_t bands = kind == dsp::FilterKind::Bandpass ? 2 : 1;
    FUZZ_CHECK(figures.stopbandPeakDb.size() == bands, detail);
    for (const auto& peak : figures.stopbandPeakDb)
        FUZZ_CHECK(!peak || std::isfinite(*peak), detail);
    if (figures.referenceGain) {
        FUZZ_CHECK(std::isfinite(*figures.referenceGain) && *figures.referenceGain > 0, detail);
    }
    const bool usable = std::isfinite(samplingHz) && samplingHz > 0
        && std::all_of(taps.begin(), taps.end(), [](double t) { return std::isfinite(t); });
    if (!usable) {
        FUZZ_CHECK(!figures.referenceGain && allNull(figures.minus3dbHz)
                       && allNull(figures.minus6dbHz) && allNull(figures.transitionHz)
                       && allNull(figures.stopbandPeakDb),
                   detail + " figures from unusable input");
    }

    const dsp::ExactResponse response = dsp::exactResponseAt(taps, samplingHz, centreHz);
    const bool finiteInput = usable && std::isfinite(centreHz / samplingHz);
    FUZZ_CHECK(std::isnan(response.magnitude) == !finiteInput, detail);
    if (finiteInput) {
        FUZZ_CHECK(response.magnitude >= 0, detail);
        FUZZ_CHECK(response.phaseDeg > -180 - 1e-9 && response.phaseDeg <= 180 + 1e-9, detail);
    }
    return 0;
}
