#include "dsp/fir_response.h"

#include "dsp/chirp_z.h"
#include "dsp/plot_geometry.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <future>
#include <list>
#include <memory>
#include <mutex>
#include <span>
#include <utility>

namespace dsp::fir {

namespace {

constexpr double kIndexStep = 0.01;
// Point j lies at u = j / 100 (up to the rounding of the repeated addition), so its angle for
// tap k is 2 kPi k j / (100 N) = k j kPi / (50 N).
constexpr int kStepsPerTap = 50;
// The live controls redraw the same tap count many times a second, and a drag on them goes from
// one count to the next: a few counts are kept, and the next one may be built ahead.
constexpr std::size_t kCachedCounts = 6;

struct SweepGrid {
    explicit SweepGrid(int taps)
        : indices(frequencyIndices(taps)), chirp(static_cast<std::size_t>(taps), indices.size(),
                                                 static_cast<std::int64_t>(kStepsPerTap) * taps)
    {
    }
    std::vector<double> indices;
    ChirpGrid chirp;
};

using GridOnItsWay = std::shared_future<std::shared_ptr<const SweepGrid>>;

// Latest first. A grid is listed from when its building starts, so that a second thread asking
// for the same count waits for it rather than builds it again.
struct GridCache {
    std::mutex mutex;
    std::list<std::pair<int, GridOnItsWay>> grids;
};

GridCache& gridCache()
{
    static GridCache cache;
    return cache;
}

// The grid of `taps` (>= 1) from the cache, built on first use.
std::shared_ptr<const SweepGrid> sweepGrid(int taps)
{
    GridCache& cache = gridCache();
    std::promise<std::shared_ptr<const SweepGrid>> building;
    GridOnItsWay grid;
    GridOnItsWay dropped;
    {
        const std::lock_guard lock(cache.mutex);
        auto& grids = cache.grids;
        const auto found = std::find_if(grids.begin(), grids.end(),
                                        [&](const auto& entry) { return entry.first == taps; });
        if (found != grids.end()) {
            grids.splice(grids.begin(), grids, found);
            grid = found->second;
        } else {
            grids.emplace_front(taps, building.get_future().share());
            if (grids.size() > kCachedCounts) {
                dropped = std::move(grids.back().second); // freed outside the lock
                grids.pop_back();
            }
        }
    }
    if (grid.valid())
        return grid.get();
    // Built outside the lock so that other counts are not held up.
    try {
        auto built = std::make_shared<const SweepGrid>(taps);
        building.set_value(built);
        return built;
    } catch (...) {
        building.set_exception(std::current_exception());
        const std::lock_guard lock(cache.mutex);
        cache.grids.remove_if([&](const auto& entry) { return entry.first == taps; });
        throw;
    }
}

} // namespace

std::vector<double> frequencyIndices(int taps)
{
    const double lastIndex = taps / 2.0;
    std::vector<double> indices;
    indices.reserve(static_cast<std::size_t>(std::max(taps, 0)) * 50 + 1); // 100 a bin, N/2 bins
    for (double u = 0; u <= lastIndex; u += kIndexStep)
        indices.push_back(u);
    return indices;
}

void prepareResponseSweep(int taps)
{
    if (taps >= 1)
        sweepGrid(taps);
}

std::vector<ResponsePoint> responseSweep(const std::vector<double>& taps)
{
    return responseSweepUsing(taps, simd::active());
}

std::vector<ResponsePoint> responseSweepUsing(const std::vector<double>& taps, simd::Level level)
{
    const int count = static_cast<int>(taps.size());
    if (count == 0) {
        std::vector<ResponsePoint> points;
        for (double u : frequencyIndices(count))
            points.push_back({u, 0, 0});
        return points;
    }
    const std::shared_ptr<const SweepGrid> grid = sweepGrid(count);
    std::vector<ResponsePoint> points(grid->indices.size());
    grid->chirp.sums(
        taps.data(),
        [&](std::size_t first, std::span<const std::complex<double>> z) {
            for (std::size_t j = 0; j < z.size(); ++j)
                points[first + j] = {grid->indices[first + j], z[j].real(), z[j].imag()};
        },
        level);
    return points;
}

std::vector<ResponsePoint> directResponseSweep(const std::vector<double>& taps)
{
    const int tapCount = static_cast<int>(taps.size());
    std::vector<ResponsePoint> points;
    for (double u : frequencyIndices(tapCount)) {
        double re = 0;
        double im = 0;
        for (int k = 0; k < tapCount; ++k) {
            const double angle = 2 * kPi * k * u / tapCount;
            re += taps[k] * std::cos(angle);
            im += taps[k] * std::sin(angle);
        }
        points.push_back({u, re, im});
    }
    return points;
}

double magnitude(const ResponsePoint& point)
{
    return std::sqrt(point.re * point.re + point.im * point.im);
}

double responseX(double u, int taps) { return responseXAtBin(u, taps); }

double linearTraceY(double magnitude, double scale) { return linearTraceYAt(magnitude, scale); }

double logTraceY(double magnitude, double reference)
{
    // Below this ratio the level lies below the floor by far more than the logarithm's rounding,
    // so the floor is drawn without taking it: most of a long design's stop band.
    static const double belowFloor =
        std::pow(10.0, kLogTraceFloorLevel / kLogTraceUnitsPerDecade) * (1 - 1e-9);
    const double ratio = magnitude / reference;
    double level = kLogTraceFloorLevel;
    // A zero magnitude has no logarithm, and a reference that is not positive gives no ratio;
    // like any level below the floor, both are drawn on it.
    if (ratio >= belowFloor && std::isfinite(ratio))
        level = std::max(kLogTraceUnitsPerDecade * std::log(ratio) / std::log(10.0),
                         kLogTraceFloorLevel);
    return logTraceYAtLevel(level);
}

double phaseDegrees(double re, double q)
{
    if (re == 0)
        return q > 0 ? 90.0 : (q < 0 ? -90.0 : 0.0);
    double degrees = std::atan(q / re) * 180 / kPi;
    if (re < 0 && q > 0)
        degrees += 180;
    else if (re < 0 && q < 0)
        degrees -= 180;
    return degrees;
}

double phaseDegrees(const ResponsePoint& point) { return phaseDegrees(point.re, -point.im); }

double phaseTraceY(double degrees) { return phaseTraceYAt(degrees); }

} // namespace dsp::fir
