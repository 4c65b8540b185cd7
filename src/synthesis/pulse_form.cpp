#include "synthesis/pulse_form.h"

#include "dsp/answer.h"
#include "dsp/series.h"
#include "forms/runtime.h"
#include "screens/screen_setup.h"
#include "screens/shared_state.h"

#include <QLabel>

namespace synthesis {

namespace {
const QColor kDarkBlue(0, 0, 192);
}

Form13::Form13(screens::SharedState& shared)
    : SynthesisScreen(kName, QStringLiteral("Fourier Pulse Generator"), dsp::WaveType::Pulse,
                      shared)
{
    placeButtons({logicalRect(491, 221, 108, 28), logicalRect(491, 275, 108, 28),
                  logicalRect(491, 328, 108, 28)});
    Label1 = addLabel(QStringLiteral("Label1"), logicalRect(162, 402, 285, 28),
                      screens::arial(12, true));
    Label2 = addLabel(QStringLiteral("Label2"), logicalRect(181, 436, 227, 28),
                      screens::arial(12, true));
    for (QLabel* label : {Label1, Label2})
        screens::paintControl(label, kDarkBlue, Qt::white);
}

// Both answers go into the shared state before either is screened, so the spectrum shows them
// even when no curve is drawn. An empty count leaves the shared count as it was.
void Form13::Form_Load()
{
    screens::standardSetUp(*this, {.blanked = {Label1, Label2}});
    screens::drawGraticuleOn(*this);

    const QString countAnswer =
        askHarmonics(QStringLiteral("Number of Harmonics"), QStringLiteral("13"),
                     screens::CountConversion::NearestEven);
    const QString dutyAnswer = screens::ask(*this, QStringLiteral("Duty Cycle [0 to 1]"),
                                            QStringLiteral("0.2"), screens::numberRule());
    drawAnswers({countAnswer, dutyAnswer});
}

void Form13::drawAnswers(const SynthesisAnswers& answers)
{
    const QString& countAnswer = answers.harmonics;
    const QString& dutyAnswer = answers.dutyCycle;
    if (const auto value = dsp::readNumber(countAnswer.toStdString()))
        m_shared.Harmonics = toSharedCount(dsp::roundHalfEven(*value));
    m_shared.DutyCycle = dutyAnswer;

    const std::optional<int> count = screenCount(countAnswer, ZeroCount::Stops);
    if (!count)
        return;
    const std::optional<double> dutyCycle = screenDutyCycle(dutyAnswer);
    if (!dutyCycle)
        return;

    screens::showOnOneLine(
        Label1, screens::captionWith(QStringLiteral("Number of Harmonics  =  "), *count));
    screens::showOnOneLine(Label2, QStringLiteral("The duty cycle  =  ") + dutyAnswer);
    screens::busyOn(*this);
    dsp::Curve curve = dsp::pulseTrainCurve(*count, *dutyCycle);
    screens::drawPolyline(*this, curve.points);
    keepDrawn(dsp::Wave::PulseTrain, std::move(curve), *count, *dutyCycle);
    screens::busyOff(*this);
}

std::vector<screens::ExploreControl> Form13::exploreControls() const
{
    std::vector<screens::ExploreControl> controls = SynthesisScreen::exploreControls();
    controls.push_back(
        {QStringLiteral("duty"), tr("Duty cycle"), screens::ExploreControl::Kind::Fraction});
    return controls;
}

SynthesisAnswers Form13::answersFor(const screens::ExploreValues& values) const
{
    SynthesisAnswers answers = SynthesisScreen::answersFor(values);
    answers.dutyCycle = screens::typedNumber(values.at(QStringLiteral("duty")), 2);
    return answers;
}

// An empty answer or a duty cycle above 1 stops the screen; a negative one, however far below the
// range of doubles, ends the program.
std::optional<double> Form13::screenDutyCycle(const QString& answer)
{
    const dsp::AnswerValue dutyCycle = dsp::readAnswer(answer.toStdString());
    if (dutyCycle.negative())
        runtime().End();
    if (dutyCycle.reading != dsp::Reading::Number || dutyCycle.value > 1)
        return std::nullopt;
    return dutyCycle.value;
}

} // namespace synthesis
