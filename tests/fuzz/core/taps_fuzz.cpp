// The five tap designs over every design the filter screens let through (sampling frequency
// above 0, band values above 0 and below half of it, 1 to 500 taps): a tap per slot, every tap
// and every plot coordinate a finite number, the log reference positive.

#include "fuzz_check.h"

#include "dsp/fir_design.h"

#include <cmath>
#include <vector>

namespace {

// A positive frequency across the whole double range: mantissa and exponent from the input.
double frequency(fuzzcheck::Bytes& in)
{
    const double mantissa = 1 + in.unit() * 9;
    const int exponent = static_cast<int>(in.word() % 617) - 308;
    return mantissa * std::pow(10.0, exponent);
}

void checkTaps(const std::vector<double>& taps, int count, const std::string& detail)
{
    FUZZ_CHECK(static_cast<int>(taps.size()) == count, detail);
    for (double tap : taps)
        FUZZ_CHECK(std::isfinite(tap), detail + " tap " + fuzzcheck::show(tap));
    FUZZ_CHECK(dsp::fir::largestTap(taps) >= 0, detail);
    const double reference = dsp::fir::logReference(taps);
    FUZZ_CHECK(std::isfinite(reference) && reference > 0, detail);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzcheck::Bytes in(data, size);
    const int design = in.byte() % 5;
    const int taps = 1 + in.word() % 500;
    const double samplingHz = frequency(in);
    const double nyquistHz = samplingHz / 2;
    // Band values strictly inside (0, fs/2), as the screens' tests leave them.
    const double bandHz = nyquistHz * (0.5 + in.word()) / 65536.5;
    const double centreHz = nyquistHz * (0.5 + in.word()) / 65536.5;
    if (!(bandHz > 0 && bandHz < nyquistHz && centreHz > 0 && centreHz < nyquistHz))
        return 0;
    const std::string detail = "design " + std::to_string(design) + " fs "
        + fuzzcheck::show(samplingHz) + " band " + fuzzcheck::show(bandHz) + " centre "
        + fuzzcheck::show(centreHz) + " taps " + std::to_string(taps);
    using namespace dsp::fir;
    switch (design) {
    case 0: {
        checkTaps(rectangularLowpassTaps(samplingHz, bandHz, taps), taps, detail);
        checkTaps(rectangularLowpassSincValues(samplingHz, bandHz, taps), taps, detail);
        const auto points = tapPlotPoints(samplingHz, bandHz, taps);
        FUZZ_CHECK(static_cast<int>(points.size()) == taps, detail);
        for (const auto& point : points)
            FUZZ_CHECK(std::isfinite(point.x) && std::isfinite(point.y) && point.x > 0
                           && point.x < 480,
                       detail);
        FUZZ_CHECK(std::isfinite(tapPlotTopValue(samplingHz, bandHz, taps)), detail);
        const int bins = passbandBins(bandHz, samplingHz, taps);
        FUZZ_CHECK(bins >= 1 && bins <= taps, detail + " bins " + std::to_string(bins));
        break;
    }
    case 1:
        checkTaps(blackmanLowpassTaps(samplingHz, bandHz, taps), taps, detail);
        break;
    case 2:
        checkTaps(highpassTaps(samplingHz, bandHz, taps), taps, detail);
        break;
    case 3:
        checkTaps(bandpassTaps(samplingHz, bandHz, centreHz, taps), taps, detail);
        break;
    case 4:
        checkTaps(bandstopTaps(samplingHz, bandHz, centreHz, taps), taps, detail);
        break;
    }
    return 0;
}
