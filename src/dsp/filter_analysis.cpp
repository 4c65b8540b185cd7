#include "dsp/filter_analysis.h"

#include "dsp/answer.h"
#include "dsp/export_formats.h"
#include "dsp/response_grid.h"

#include <Eigen/Core>
#include <Eigen/Eigenvalues>
#include <unsupported/Eigen/Polynomials>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace dsp {
namespace {

// The response grid's points per bin of fs/N, as the traces sweep it.
constexpr int kPointsPerBin = 50;

// The taps with their zero ends taken off: [first, last) holds the polynomial's coefficients.
struct Trimmed {
    std::size_t first = 0;
    std::size_t last = 0;
};
Trimmed trimmed(const std::vector<double>& taps)
{
    const auto nonZero = [](double tap) { return tap != 0; };
    const auto first = std::find_if(taps.begin(), taps.end(), nonZero);
    const auto last = std::find_if(taps.rbegin(), taps.rend(), nonZero).base();
    return {static_cast<std::size_t>(first - taps.begin()),
            static_cast<std::size_t>(last - taps.begin())};
}

// The roots of coefficients [first, last), highest power first, the leading one non-zero: the
// eigenvalues of Eigen's balanced companion matrix. Not PolynomialSolver, which runs the same
// matrix but then takes a complex root's real part wherever that evaluates no larger, with a
// tolerance of 4^(N+1) eps: above 1 from 25 taps on, and at 500 taps it put poor real roots in
// place of good complex ones.
std::optional<std::vector<std::complex<double>>> roots(const std::vector<double>& taps,
                                                       Trimmed part)
{
    const std::size_t count = part.last - part.first;
    Eigen::VectorXd poly(static_cast<Eigen::Index>(count)); // lowest power first
    for (std::size_t k = 0; k < count; ++k)
        poly[static_cast<Eigen::Index>(k)] = taps[part.last - 1 - k];
    // The companion matrix holds every coefficient divided by the leading one.
    const Eigen::VectorXd monic = poly / poly[poly.size() - 1];
    if (!monic.allFinite())
        return std::nullopt;
    if (count < 3)
        return std::vector<std::complex<double>>(count - 1, -monic[0]);
    Eigen::internal::companion<double, Eigen::Dynamic> companion(poly);
    companion.balance();
    const Eigen::EigenSolver<Eigen::MatrixXd> solver(companion.denseMatrix(), false);
    const Eigen::VectorXcd& found = solver.eigenvalues();
    if (solver.info() != Eigen::Success || !found.allFinite())
        return std::nullopt;
    return std::vector<std::complex<double>>(found.begin(), found.end());
}

// Point i of `intervals` from 0 Hz to fs/2, in cycles per sample.
double gridCycles(std::size_t i, std::size_t intervals)
{
    return static_cast<double>(i) / static_cast<double>(2 * intervals);
}

// sum h[n] e^(-iwn) and sum n h[n] e^(-iwn) at every point of the grid. Scaled, the weighted
// taps n h[n] stay far from overflow; the delay, their ratio, is unchanged.
struct GridSums {
    std::vector<std::complex<double>> plain;
    std::vector<std::complex<double>> weighted;
};
GridSums gridSums(const std::vector<double>& taps, std::size_t intervals)
{
    const std::vector<double> h = scaledTaps(taps)->taps;
    std::vector<double> weighted(h.size());
    for (std::size_t n = 0; n < h.size(); ++n)
        weighted[n] = static_cast<double>(n) * h[n];
    GridSums sums;
    for (std::size_t i = 0; i <= intervals; ++i) {
        sums.plain.push_back(exactSum(h, gridCycles(i, intervals)));
        sums.weighted.push_back(exactSum(weighted, gridCycles(i, intervals)));
    }
    return sums;
}

} // namespace

TapsCheck checkTaps(const std::vector<double>& taps)
{
    if (taps.empty())
        return TapsCheck::Empty;
    if (static_cast<double>(taps.size()) > kMostTaps)
        return TapsCheck::TooMany;
    if (!std::all_of(taps.begin(), taps.end(), [](double tap) { return std::isfinite(tap); }))
        return TapsCheck::NotFinite;
    if (std::all_of(taps.begin(), taps.end(), [](double tap) { return tap == 0; }))
        return TapsCheck::AllZero;
    return TapsCheck::Usable;
}

std::vector<double> stepResponse(const std::vector<double>& taps)
{
    std::vector<double> steps(taps.size());
    std::partial_sum(taps.begin(), taps.end(), steps.begin());
    return steps;
}

GroupDelay groupDelay(const std::vector<double>& taps, double samplingHz)
{
    GroupDelay delay;
    delay.taps = checkTaps(taps);
    if (delay.taps != TapsCheck::Usable)
        return delay;
    const std::size_t intervals = kPointsPerBin * taps.size();
    const GridSums sums = gridSums(taps, intervals);
    const double peak =
        std::abs(*std::max_element(sums.plain.begin(), sums.plain.end(),
                                   [](auto a, auto b) { return std::abs(a) < std::abs(b); }));
    for (std::size_t i = 0; i <= intervals; ++i) {
        GroupDelayPoint point{samplingHz * gridCycles(i, intervals), std::nullopt};
        if (std::abs(sums.plain[i]) >= kGroupDelayFloor * peak)
            point.delaySamples = (sums.weighted[i] / sums.plain[i]).real();
        else
            ++delay.leftOut;
        delay.points.push_back(point);
    }
    return delay;
}

FilterZeros filterZeros(const std::vector<double>& taps)
{
    FilterZeros result;
    switch (checkTaps(taps)) {
    case TapsCheck::Empty:
    case TapsCheck::AllZero:
        result.status = ZerosStatus::NoPolynomial;
        return result;
    case TapsCheck::NotFinite:
        result.status = ZerosStatus::NotFinite;
        return result;
    case TapsCheck::TooMany:
        result.status = ZerosStatus::TooMany;
        return result;
    case TapsCheck::Usable:
        break;
    }
    const Trimmed part = trimmed(taps);
    auto found = roots(taps, part);
    if (!found) {
        result.status = ZerosStatus::Unsolved;
        return result;
    }
    result.atInfinity = static_cast<int>(part.first);
    result.atOrigin = static_cast<int>(taps.size() - part.last);
    result.zeros = std::move(*found);
    result.zeros.insert(result.zeros.end(), static_cast<std::size_t>(result.atOrigin), 0.0);
    return result;
}

// A real zero's imaginary part may be -0, which atan2 would read as -pi: taken as +0 instead.
// Taken as half turns first, so that -1 and +-i read exactly fs/2 and +-fs/4.
double zeroAngleHz(std::complex<double> zero, double samplingHz)
{
    const double im = zero.imag() == 0 ? 0.0 : zero.imag();
    return std::atan2(im, zero.real()) / std::numbers::pi * (samplingHz / 2);
}

std::string formatImpulseCsv(const std::vector<double>& taps)
{
    return formatTaps(taps, TapFormat::Csv);
}

std::string formatStepCsv(const std::vector<double>& steps)
{
    std::string text = "n,s\n";
    for (std::size_t n = 0; n < steps.size(); ++n)
        text += std::to_string(n) + ',' + exactNumber(steps[n]) + '\n';
    return text;
}

std::string formatGroupDelayCsv(const GroupDelay& delay)
{
    std::string text = "frequency_hz,delay_samples\n";
    for (const GroupDelayPoint& point : delay.points) {
        text += exactNumber(point.frequencyHz) + ',';
        if (point.delaySamples)
            text += exactNumber(*point.delaySamples);
        text += '\n';
    }
    return text;
}

std::string formatZerosCsv(const FilterZeros& zeros, double samplingHz)
{
    std::string text = "re,im,radius,angle_hz\n";
    for (std::complex<double> zero : zeros.zeros) {
        text += exactNumber(zero.real()) + ',' + exactNumber(zero.imag()) + ','
            + exactNumber(std::abs(zero)) + ',' + exactNumber(zeroAngleHz(zero, samplingHz)) + '\n';
    }
    return text;
}

} // namespace dsp
