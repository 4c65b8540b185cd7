#include "synthesis/rectified_form.h"

#include "dsp/harmonic_lines.h"
#include "dsp/series.h"
#include "screens/screen_setup.h"
#include "screens/shared_state.h"

#include <QLabel>

namespace synthesis {

Form6::Form6(screens::SharedState& shared)
    : SynthesisScreen(kName, QStringLiteral("Fourier rectified sine generator"),
                      dsp::WaveType::Rectified, shared)
{
    placeButtons(standardButtons());
    Label1 = addLabel(QStringLiteral("Label1"), logicalRect(142, 395, 195, 14),
                      screens::arial(12, true));
    screens::paintControl(Label1, Qt::black, Qt::white);
}

// The choice is kept as typed, whatever it is: only "F" and "f" mean full-wave. The full-wave
// curve is drawn for 0 harmonics (its dc level); the half-wave screen stops there.
void Form6::Form_Load()
{
    screens::standardSetUp(*this, {.blanked = {Label1}});
    screens::drawGraticuleOn(*this);

    const QString choice = screens::ask(
        *this, QStringLiteral("Choose one: [F]ull-wave or [H]alf-wave"), QStringLiteral("F"));
    m_shared.RectifyChoice = choice;
    const bool fullWave = dsp::isFullWave(choice.toStdString());

    const QString answer = askHarmonics(QStringLiteral("Number of Harmonics"), QStringLiteral("3"),
                                        screens::CountConversion::WholePart);
    const std::optional<int> count =
        screenCount(answer, fullWave ? ZeroCount::Draws : ZeroCount::Stops);
    if (!count)
        return;
    captionAndDraw(Label1, QStringLiteral("Number of Harmonics  =  "), *count,
                   fullWave ? dsp::Wave::FullWaveRectified : dsp::Wave::HalfWaveRectified,
                   fullWave ? dsp::fullWaveRectifiedCurve : dsp::halfWaveRectifiedCurve);
}

} // namespace synthesis
