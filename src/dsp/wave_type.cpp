#include "dsp/wave_type.h"

#include <array>
#include <utility>

namespace dsp {

namespace {

constexpr std::array<std::pair<WaveType, std::string_view>, 5> kCodes{{
    {WaveType::Square, "SQR"},
    {WaveType::Triangle, "TRI"},
    {WaveType::Sawtooth, "SAW"},
    {WaveType::Pulse, "PULSE"},
    {WaveType::Rectified, "REC"},
}};

} // namespace

std::string waveTypeCode(WaveType wave)
{
    for (const auto& [type, code] : kCodes)
        if (type == wave)
            return std::string(code);
    return {};
}

std::optional<WaveType> waveTypeFromCode(std::string_view code)
{
    for (const auto& [type, typeCode] : kCodes)
        if (typeCode == code)
            return type;
    return std::nullopt;
}

} // namespace dsp
