#include "screens/shared_state.h"

namespace screens {

SharedState& shared()
{
    static SharedState state;
    return state;
}

void resetShared() { shared() = SharedState{}; }

QJsonObject sharedStateJson()
{
    const SharedState& state = shared();
    return QJsonObject{{QStringLiteral("WaveType"), state.WaveType},
                       {QStringLiteral("Harmonics"), state.Harmonics},
                       {QStringLiteral("DutyCycle"), state.DutyCycle},
                       {QStringLiteral("RectifyChoice"), state.RectifyChoice}};
}

} // namespace screens
