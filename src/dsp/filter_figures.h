#pragma once

#include <optional>
#include <vector>

// Stand-in until the measured figures land: the same interface, the response only.
namespace dsp {

enum class FilterKind { Lowpass, Highpass, Bandpass, Bandstop };

struct FilterFigures {
    std::optional<double> referenceGain;
    std::vector<double> minus3dbHz, minus6dbHz, transitionHz;
    std::optional<double> stopbandPeakDb;
};

FilterFigures measureFilter(const std::vector<double>& taps, double samplingHz, FilterKind kind,
                            double centreHz = 0);

struct ExactResponse {
    double magnitude;
    double phaseDeg;
};

ExactResponse exactResponseAt(const std::vector<double>& taps, double samplingHz, double frequencyHz);

} // namespace dsp
