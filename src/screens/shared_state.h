#pragma once

#include "forms/form.h"
#include "screens/canvas_tool_state.h"

#include <QJsonObject>
#include <QPointer>
#include <QString>

#include <cstdint>

namespace screens {

// The few values that outlive the screens: what the last synthesis screen drew, for the spectrum
// screen to read, the screen the graticule routine draws on, and what the canvas tools hold.
struct SharedState {
    QString WaveType;
    std::int16_t Harmonics = 0;
    QString DutyCycle;
    QString RectifyChoice;
    QPointer<forms::Form> PlotForm;
    CanvasToolState canvasTools;
};

SharedState& shared();
void resetShared();
QJsonObject sharedStateJson();

} // namespace screens
