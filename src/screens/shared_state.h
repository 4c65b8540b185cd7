#pragma once

#include "dsp/wave_type.h"
#include "screens/canvas_tool_state.h"

#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <optional>

namespace screens {

// The values the synthesis screens leave for the spectrum screen, and what the canvas tools keep
// from one window to the next. One session owns them and hands them to the screens that read or
// write them.
struct SharedState {
    std::optional<dsp::WaveType> WaveType; // none until a synthesis screen asks for its spectrum
    std::int16_t Harmonics = 0;
    QString DutyCycle;     // the pulse screen's answer as typed; the spectrum caption shows it
    QString RectifyChoice; // the rectified screen's answer as typed
    CanvasToolState canvasTools;
};

// The values as state.json shows them, the wave by its short code.
QJsonObject toJson(const SharedState& state);

} // namespace screens
