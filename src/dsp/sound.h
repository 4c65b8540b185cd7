#pragma once

#include "dsp/wave_units.h"

#include <cstdint>
#include <string>
#include <vector>

// What the program plays: a synthesis screen's wave as a tone, and white noise alone or through a
// filter design, as 16-bit mono samples, and the same as a WAV file.
namespace dsp {

inline constexpr int kSoundRate = 44100;     // samples per second
inline constexpr double kSoundSeconds = 2;   // every sound's length
inline constexpr double kFadeSeconds = 0.01; // the ramp at each end, against clicks
inline constexpr double kPeakDbfs = -1;      // where the loudest sample lands
// The fundamentals a tone can be played on, in Hz.
inline constexpr double kToneFundamentals[] = {110, 220, 440, 880};
inline constexpr double kDefaultFundamental = 220;

struct Sound {
    int sampleRate = kSoundRate;
    std::vector<std::int16_t> samples;
};

struct Tone {
    Sound sound;
    int termsKept = 0;    // the series' terms below half the sample rate, which are played
    int termsLeftOut = 0; // those at or above it, left out so that none aliases
};

// The wave of a synthesis screen's drawing (`harmonics` as the screen counts them) on
// `fundamentalHz`, kSoundSeconds at kSoundRate, faded in and out and its peak at kPeakDbfs.
// A wave of no harmonics at all is silence.
Tone synthesisTone(Wave wave, int harmonics, double dutyCycle, double fundamentalHz);

// Uniform white noise from a fixed seed, `count` samples in [-1, 1): the same on every run.
std::vector<double> whiteNoise(std::size_t count);

// kSoundSeconds of the noise at `sampleRate` (1 to kMostSoundRate), through `taps` (none: the
// noise alone) in steady state, every sample a full sum over the taps; faded in and out, its
// peak at kPeakDbfs. Nothing (no samples) for a rate out of range or taps that are not finite.
inline constexpr int kMostSoundRate = 768000;
struct NoiseSound {
    Sound sound;
    double scale = 0; // sample value per unit of the filtered noise before the fades
};
NoiseSound noiseSound(const std::vector<double>& taps, int sampleRate);

// A WAV file (RIFF, 16-bit PCM, mono) of the sound.
std::string wavFile(const Sound& sound);

} // namespace dsp
