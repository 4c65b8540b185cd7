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
    drawAnswers({askHarmonics(QStringLiteral("Number of Harmonics"), QStringLiteral("3"),
                              screens::CountConversion::WholePart),
                 {},
                 choice});
}

void Form6::drawAnswers(const SynthesisAnswers& answers)
{
    m_shared.RectifyChoice = answers.rectify;
    const bool fullWave = dsp::isFullWave(answers.rectify.toStdString());
    const QString& answer = answers.harmonics;
    const std::optional<int> count =
        screenCount(answer, fullWave ? ZeroCount::Draws : ZeroCount::Stops);
    if (!count)
        return;
    captionAndDraw(Label1, QStringLiteral("Number of Harmonics  =  "), *count,
                   fullWave ? dsp::Wave::FullWaveRectified : dsp::Wave::HalfWaveRectified,
                   fullWave ? dsp::fullWaveRectifiedCurve : dsp::halfWaveRectifiedCurve);
}

// The choice first, as the screen asks it.
std::vector<screens::ExploreControl> Form6::exploreControls() const
{
    std::vector<screens::ExploreControl> controls = SynthesisScreen::exploreControls();
    controls.insert(controls.begin(),
                    {QStringLiteral("rectify"),
                     tr("Rectifier"),
                     screens::ExploreControl::Kind::Choice,
                     {QStringLiteral("F"), QStringLiteral("H")},
                     {tr("Full-wave"), tr("Half-wave")}});
    return controls;
}

ZeroCount Form6::zeroCount(const screens::ExploreValues& values) const
{
    return values.at(QStringLiteral("rectify")) == 0 ? ZeroCount::Draws : ZeroCount::Stops;
}

SynthesisAnswers Form6::answersFor(const screens::ExploreValues& values) const
{
    SynthesisAnswers answers = SynthesisScreen::answersFor(values);
    answers.rectify =
        values.at(QStringLiteral("rectify")) == 0 ? QStringLiteral("F") : QStringLiteral("H");
    return answers;
}

} // namespace synthesis
