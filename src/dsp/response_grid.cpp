#include "dsp/response_grid.h"

#include "dsp/fftw_support.h"

#include <algorithm>
#include <cmath>
#include <list>
#include <memory>
#include <mutex>
#include <numbers>
#include <stdexcept>

namespace dsp {

namespace {

using Complex = std::complex<double>;

constexpr double kTwoPi = 2 * std::numbers::pi;
// Terms turned on by multiplication between two exactly taken angles.
constexpr std::size_t kExactBlock = 32;
constexpr std::size_t kCachedPlans = 4;

// The plain product, without the library's recovery of infinities (no value here is one).
Complex times(Complex a, Complex b)
{
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// e^(-i 2 pi fraction), with the quarter turns exact: 0 Hz, fs/4 and fs/2 give 1, -i and -1
// to the last bit, so a response that vanishes there is measured as exactly 0. Taking the
// whole quarters off a number in [0, 1) is exact.
Complex turn(double fraction)
{
    const double f = fraction - std::floor(fraction);
    const double quarters = std::floor(4 * f);
    const double angle = kTwoPi * (f - quarters / 4);
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    switch (static_cast<int>(quarters)) {
    case 1:
        return {-s, -c};
    case 2:
        return {-c, s};
    case 3:
        return {s, c};
    default:
        return {c, -s};
    }
}

// FFTW's forward transform of `size` points, planned with FFTW_ESTIMATE (the same algorithm,
// and so the same bits, every run). A complex transform of the real taps: planning FFTW's real
// transform of these lengths takes milliseconds, far longer than running a complex one, and a
// design's first figures would wait for it.
struct GridPlan {
    explicit GridPlan(std::size_t points) : size(points)
    {
        const fftw::ComplexBuffer input = fftw::complexBuffer(size);
        const fftw::ComplexBuffer output = fftw::complexBuffer(size);
        const std::lock_guard lock(fftw::plannerMutex());
        plan = fftw_plan_dft_1d(static_cast<int>(size), input.get(), output.get(), FFTW_FORWARD,
                                FFTW_ESTIMATE);
        if (!plan)
            throw std::runtime_error("FFTW could not plan a transform of this length");
    }
    ~GridPlan()
    {
        const std::lock_guard lock(fftw::plannerMutex());
        fftw_destroy_plan(plan);
    }
    GridPlan(const GridPlan&) = delete;
    GridPlan& operator=(const GridPlan&) = delete;

    std::size_t size;
    fftw_plan plan = nullptr;
};

// The plan for `size` from the last few used: a design's figures are read again and again as
// its values change, and planning the longest transforms costs more than running them.
std::shared_ptr<const GridPlan> gridPlan(std::size_t size)
{
    static std::mutex mutex;
    static std::list<std::shared_ptr<const GridPlan>> cache; // the latest used first
    const std::lock_guard lock(mutex);
    const auto found = std::find_if(cache.begin(), cache.end(),
                                    [&](const auto& plan) { return plan->size == size; });
    if (found != cache.end()) {
        cache.splice(cache.begin(), cache, found);
        return cache.front();
    }
    cache.push_front(std::make_shared<const GridPlan>(size));
    if (cache.size() > kCachedPlans)
        cache.pop_back();
    return cache.front();
}

} // namespace

std::optional<ScaledTaps> scaledTaps(const std::vector<double>& taps)
{
    double largest = 0;
    for (double tap : taps) {
        if (!std::isfinite(tap))
            return std::nullopt;
        largest = std::max(largest, std::abs(tap));
    }
    if (largest == 0)
        return std::nullopt;
    ScaledTaps scaled{taps, std::ilogb(largest) + 1};
    for (double& tap : scaled.taps)
        tap = std::ldexp(tap, -scaled.exponent);
    return scaled;
}

std::complex<double> exactSum(const std::vector<double>& taps, double cyclesPerSample)
{
    // Whole turns drop out of every term; what is left lies in [0, 1). Each block of terms
    // starts from a sine and cosine of its own angle, reduced to a fraction of a turn, and
    // turns on by one step per tap between, so rounding cannot build up over long tables.
    const double x = cyclesPerSample - std::floor(cyclesPerSample);
    const Complex step = turn(x);
    double re = 0;
    double im = 0;
    for (std::size_t first = 0; first < taps.size(); first += kExactBlock) {
        const double turns = static_cast<double>(first) * x;
        Complex phasor = turn(turns);
        const std::size_t end = std::min(taps.size(), first + kExactBlock);
        for (std::size_t k = first; k < end; ++k) {
            re += taps[k] * phasor.real();
            im += taps[k] * phasor.imag();
            phasor = times(phasor, step);
        }
    }
    return {re, im};
}

std::vector<double> gridMagnitudes(const std::vector<double>& taps, std::size_t size)
{
    const std::shared_ptr<const GridPlan> plan = gridPlan(size);
    const fftw::ComplexBuffer input = fftw::complexBuffer(size); // the taps, zero-padded
    const fftw::ComplexBuffer output = fftw::complexBuffer(size);
    std::fill(&input[0][0], &input[0][0] + 2 * size, 0.0);
    for (std::size_t k = 0; k < taps.size(); ++k)
        input[k][0] = taps[k];
    fftw_execute_dft(plan->plan, input.get(), output.get());
    // Real taps: the bins above size / 2 mirror those below.
    std::vector<double> magnitudes(size / 2 + 1);
    for (std::size_t k = 0; k < magnitudes.size(); ++k) {
        const double re = output[k][0];
        const double im = output[k][1];
        // The taps are scaled to at most 1, so the squares cannot overflow, and an underflow
        // far below every figure does not matter; hypot would cost more than the transform.
        magnitudes[k] = std::sqrt(re * re + im * im);
    }
    return magnitudes;
}

} // namespace dsp
