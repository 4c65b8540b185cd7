#pragma once

// Lines of a sound read by plain discrete Fourier sums, independently of the program's maths:
// over a whole second, every line of a whole number of hertz sits on its own bin.

#include <algorithm>
#include <complex>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

namespace soundlines {

inline constexpr int kRate = 44100;

// The amplitude of the line at `hz` (a whole number) over one second of samples.
inline double lineAmplitude(const std::vector<double>& x, double hz)
{
    std::complex<double> sum;
    const double n = static_cast<double>(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        sum += x[i] * std::polar(1.0, -2 * std::numbers::pi * hz * double(i) / n);
    return 2 * std::abs(sum) / n;
}

// What is left of the second once the lines at the multiples of f0 below half the rate are taken
// out: its largest sample bounds every line off that grid.
inline double largestOffGrid(std::vector<double> x, double f0)
{
    const double n = static_cast<double>(x.size());
    for (double hz = f0; hz < kRate / 2.0; hz += f0) {
        std::complex<double> sum;
        for (std::size_t i = 0; i < x.size(); ++i)
            sum += x[i] * std::polar(1.0, -2 * std::numbers::pi * hz * double(i) / n);
        sum *= 2.0 / n;
        for (std::size_t i = 0; i < x.size(); ++i)
            x[i] -= std::real(sum * std::polar(1.0, 2 * std::numbers::pi * hz * double(i) / n));
    }
    double largest = 0;
    for (double value : x)
        largest = std::max(largest, std::abs(value));
    return largest;
}

// One second of 16-bit samples from `first` on.
inline std::vector<double> oneSecond(const std::vector<std::int16_t>& samples, std::size_t first)
{
    std::vector<double> x;
    for (std::size_t i = first; i < first + kRate && i < samples.size(); ++i)
        x.push_back(samples[i]);
    return x;
}

// The 16-bit samples of a mono WAV file as its header describes them; empty for anything else.
inline std::vector<std::int16_t> wavSamples(const std::string& file)
{
    const auto u32 = [&file](std::size_t at) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | static_cast<unsigned char>(file[at + i]);
        return value;
    };
    if (file.size() < 44 || file.compare(0, 4, "RIFF") != 0 || file.compare(36, 4, "data") != 0)
        return {};
    std::vector<std::int16_t> samples(std::min<std::size_t>(u32(40), file.size() - 44) / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(static_cast<unsigned char>(file[44 + 2 * i])
                                               | static_cast<unsigned char>(file[45 + 2 * i]) << 8);
    return samples;
}

} // namespace soundlines
