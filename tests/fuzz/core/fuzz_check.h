#pragma once

// What the core fuzz targets share: reading numbers from the input and stopping on a broken rule.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace fuzzcheck {

[[noreturn]] inline void broken(const char* rule, const std::string& detail)
{
    std::fprintf(stderr, "broken: %s\n  %s\n", rule, detail.c_str());
    std::abort();
}

#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::fuzzcheck::broken(#condition, (detail));                                             \
    } while (false)

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) { }
    bool empty() const { return m_at >= m_size; }
    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    std::uint16_t word() { return static_cast<std::uint16_t>(byte() << 8 | byte()); }
    double rawDouble()
    {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = bits << 8 | byte();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // A value in [0, 1] with 16 bits of resolution.
    double unit() { return word() / 65535.0; }
    std::string rest()
    {
        return std::string(reinterpret_cast<const char*>(m_data + std::min(m_at, m_size)),
                           m_size - std::min(m_at, m_size));
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

inline std::string show(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

} // namespace fuzzcheck
