#include "screens/shared_state.h"

namespace screens {

QJsonObject toJson(const SharedState& state)
{
    const QString wave =
        state.WaveType ? QString::fromStdString(dsp::waveTypeCode(*state.WaveType)) : QString();
    return QJsonObject{{QStringLiteral("WaveType"), wave},
                       {QStringLiteral("Harmonics"), state.Harmonics},
                       {QStringLiteral("DutyCycle"), state.DutyCycle},
                       {QStringLiteral("RectifyChoice"), state.RectifyChoice}};
}

} // namespace screens
