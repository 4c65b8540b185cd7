#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dsp {

// The wave a synthesis screen draws, as the spectrum screen is told it. Rectified covers both the
// full- and the half-wave screen: the rectifier answer tells them apart.
enum class WaveType { Square, Triangle, Sawtooth, Pulse, Rectified };

// The short code the wave is stored and shown under ("SQR", "TRI", "SAW", "PULSE", "REC").
std::string waveTypeCode(WaveType wave);
// The wave of a code; case matters, and anything else is no wave.
std::optional<WaveType> waveTypeFromCode(std::string_view code);

} // namespace dsp
