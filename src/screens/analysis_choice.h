#pragma once

#include "dsp/wave_units.h"

// What the Analysis window shows, as a user chose it; kept across windows of a screen.
namespace screens {

enum class AnalysisView { Impulse, Step, GroupDelay, Zeros, Through };

// The wave sent through the design, chosen as on a synthesis screen: 15 odd harmonics of a
// square wave on 15 Hz reach 435 Hz, below half the lowpass screens' usual 1000 Hz.
struct ThroughChoice {
    dsp::Wave wave = dsp::Wave::Square;
    int harmonics = 15;
    double dutyCycle = 0.5; // the pulse train's
    double fundamentalHz = 15;
};

// A screen's Analysis window: whether it was open when its screen last closed (so that the
// screen's next window, after " Do Another", opens it again), its view and its wave.
struct AnalysisKept {
    bool open = false;
    AnalysisView view = AnalysisView::Impulse;
    ThroughChoice through;
};

} // namespace screens
