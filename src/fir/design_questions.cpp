// The design screens' questions: how each is asked, how its answer is tested, and the captions
// that echo the answers.
#include "fir/design_screen.h"

#include "dsp/answer.h"
#include "dsp/number_format.h"
#include "forms/runtime.h"
#include "screens/screen_setup.h"

#include <QLabel>
#include <QListWidget>

namespace fir {
namespace {

forms::AnswerRule ruleFor(Role role)
{
    switch (role) {
    case Role::SamplingHz:
    case Role::BandHz:
    case Role::CentreHz:
        return screens::numberRule();
    case Role::Taps:
        return screens::wholeCountRule();
    case Role::Phase:
        break;
    }
    return {};
}

// The value of a numeric answer that passed its test: a number above 0. An empty answer (Cancel)
// or anything else ends the program.
double positiveOrEnd(forms::Runtime& runtime, const QString& answer)
{
    const auto value = dsp::readNumber(answer.toStdString());
    if (!value || *value <= 0)
        runtime.End();
    return *value;
}

} // namespace

QString captionNumber(double value) { return QString::fromStdString(dsp::captionNumber(value)); }

Question samplingQuestion()
{
    return {Role::SamplingHz, QStringLiteral("Sampling frequency in Hz"), QStringLiteral("1000")};
}

Question cutoffQuestion(const QString& defaultAnswer)
{
    return {Role::BandHz,
            QStringLiteral("Cutoff frequency in Hz [less than half the sampling freq.]"),
            defaultAnswer};
}

Question centreQuestion()
{
    return {Role::CentreHz, QStringLiteral("Center frequency in Hz"), QStringLiteral("250")};
}

Question tapsQuestion(const QString& defaultAnswer)
{
    return {Role::Taps, QStringLiteral("The number of taps [500 max.]"), defaultAnswer};
}

Question phaseQuestion()
{
    return {Role::Phase, QStringLiteral("Plot the filter's phase response? [Y]es or [N]o"),
            QStringLiteral("N")};
}

CaptionLine samplingCaption(const char* label, LogicalRect rect)
{
    return {label, rect, QStringLiteral("The sampling frequency is "), Role::SamplingHz,
            QStringLiteral(" Hz")};
}

CaptionLine cutoffCaption(const char* label, LogicalRect rect)
{
    return {label, rect, QStringLiteral("The cutoff frequency is "), Role::BandHz,
            QStringLiteral(" Hz")};
}

CaptionLine centreCaption(const char* label, LogicalRect rect)
{
    return {label, rect, QStringLiteral("The center frequency is "), Role::CentreHz,
            QStringLiteral(" Hz")};
}

CaptionLine tapsCaption(const char* label, LogicalRect rect)
{
    return {label, rect, QStringLiteral("The number of taps is "), Role::Taps, QString()};
}

// Every question is asked before any answer is tested.
Answers DesignScreen::askQuestions()
{
    Answers answers;
    for (const Question& question : m_description.questions) {
        const QString answer =
            screens::ask(*this, question.title, question.defaultAnswer, ruleFor(question.role));
        answers.setText(question.role, answer);
        answers.setAsked(question.role);
    }
    return answers;
}

// Each numeric answer in the order asked, the tap count also against the 500 slots of the table,
// then the band (cutoff or bandwidth) and the centre frequency against half the sampling
// frequency.
DesignValues DesignScreen::testAnswers(const Answers& answers) const
{
    DesignValues values;
    for (const Question& question : m_description.questions) {
        switch (question.role) {
        case Role::SamplingHz:
            values.samplingHz = positiveOrEnd(runtime(), answers.text(Role::SamplingHz));
            break;
        case Role::BandHz:
            values.bandHz = positiveOrEnd(runtime(), answers.text(Role::BandHz));
            break;
        case Role::CentreHz:
            values.centreHz = positiveOrEnd(runtime(), answers.text(Role::CentreHz));
            break;
        case Role::Taps: {
            const double taps = positiveOrEnd(runtime(), answers.text(Role::Taps));
            if (taps > dsp::kMostTaps) // the coefficient table has slots for 500 taps
                runtime().End();
            values.taps = static_cast<int>(taps);
            break;
        }
        case Role::Phase:
            break;
        }
    }
    const double nyquistHz = values.samplingHz / 2;
    for (const Role band : {Role::BandHz, Role::CentreHz}) {
        const double bandValue = band == Role::BandHz ? values.bandHz : values.centreHz;
        if (answers.asked(band) && nyquistHz - bandValue <= 0)
            runtime().End();
    }
    return values;
}

// The tap plot's marks and the emptied list go with the captions, before the hourglass refresh.
void DesignScreen::writeCaptions(const Answers& answers)
{
    captionTapPlot();
    List1->clear();
    for (QLabel* label : {Label3, Label4, Label5, Label6})
        label->clear();
    for (std::size_t i = 0; i < m_captionLabels.size(); ++i) {
        const CaptionLine& line = m_description.captions[i];
        screens::showOnOneLine(m_captionLabels[i],
                               line.text + answers.text(line.answer) + line.unit);
    }
}

// Exactly "Y" or "y"; an empty answer counts as "N".
bool DesignScreen::wantsPhase(const Answers& answers) const
{
    const QString& choice = answers.text(Role::Phase);
    return choice == QLatin1String("Y") || choice == QLatin1String("y");
}

} // namespace fir
