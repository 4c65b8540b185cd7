#include "synthesis/sawtooth_form.h"

#include "dsp/series.h"
#include "screens/screen_setup.h"

#include <QLabel>

namespace synthesis {

Form5::Form5(screens::SharedState& shared)
    : SynthesisScreen(kName, QStringLiteral("Fourier sawtooth generator"), dsp::WaveType::Sawtooth,
                      shared)
{
    placeButtons(standardButtons());
    Label1 = addLabel(QStringLiteral("Label1"), twipsRect(2640, 7080, 4335, 855),
                      screens::arial(12, true));
    screens::paintControl(Label1, Qt::black, Qt::white);
}

// A count of 0 is drawn: the curve is then the zero line.
void Form5::Form_Load()
{
    screens::standardSetUp(*this, {.blanked = {Label1}});
    screens::drawGraticuleOn(*this);

    drawAnswers({askHarmonics(QStringLiteral("Number of Harmonics"), QStringLiteral("3"),
                              screens::CountConversion::WholePart)});
}

void Form5::drawAnswers(const SynthesisAnswers& answers)
{
    const QString& answer = answers.harmonics;
    const std::optional<int> count = screenCount(answer, ZeroCount::Draws);
    if (!count)
        return;
    captionAndDraw(Label1, QStringLiteral("Number of Harmonics  =  "), *count, dsp::Wave::Sawtooth,
                   dsp::sawtoothWaveCurve);
}

} // namespace synthesis
