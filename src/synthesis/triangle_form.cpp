#include "synthesis/triangle_form.h"

#include "dsp/series.h"
#include "screens/screen_setup.h"

#include <QLabel>

namespace synthesis {

Form4::Form4(screens::SharedState& shared)
    : SynthesisScreen(kName, QStringLiteral("Fourier triangle generator"), dsp::WaveType::Triangle,
                      shared)
{
    placeButtons(standardButtons());
    Label1 = addLabel(QStringLiteral("Label1"), twipsRect(2640, 7080, 6495, 255),
                      screens::arial(12, true));
    screens::paintControl(Label1, Qt::black, Qt::white);
}

// A count of 0 is drawn: the curve is then the zero line.
void Form4::Form_Load()
{
    screens::standardSetUp(*this, {.blanked = {Label1}});
    screens::drawGraticuleOn(*this);

    drawAnswers({askHarmonics(QStringLiteral("Number of Odd Harmonics"), QStringLiteral("3"),
                              screens::CountConversion::WholePart)});
}

void Form4::drawAnswers(const SynthesisAnswers& answers)
{
    const QString& answer = answers.harmonics;
    const std::optional<int> count = screenCount(answer, ZeroCount::Draws);
    if (!count)
        return;
    captionAndDraw(Label1, QStringLiteral("Number of Odd Harmonics  =  "), *count,
                   dsp::Wave::Triangle, dsp::triangleWaveCurve);
}

} // namespace synthesis
