// The design screens' questions: how each is asked, how its answer is tested, and the captions
// that echo the answers.
#include "fir/design_screen.h"

#include "dsp/answer.h"
#include "dsp/number_format.h"
#include "forms/runtime.h"
#include "screens/screen_setup.h"

#include <QLabel>
#include <QListWidget>

#include <algorithm>

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

// The panel's names of the answers, as --explore takes them.
namespace {

using screens::ExploreControl;

bool asksCentre(const std::vector<Question>& questions)
{
    return std::any_of(questions.begin(), questions.end(),
                       [](const Question& q) { return q.role == Role::CentreHz; });
}

ExploreControl controlFor(Role role, bool banded)
{
    using Kind = ExploreControl::Kind;
    switch (role) {
    case Role::SamplingHz:
        return {QStringLiteral("fs"), DesignScreen::tr("Sampling frequency (Hz)"), Kind::Hertz};
    case Role::BandHz:
        return banded ? ExploreControl{QStringLiteral("bandwidth"),
                                       DesignScreen::tr("Bandwidth (Hz)"), Kind::Hertz}
                      : ExploreControl{QStringLiteral("cutoff"),
                                       DesignScreen::tr("Cutoff frequency (Hz)"), Kind::Hertz};
    case Role::CentreHz:
        return {QStringLiteral("centre"), DesignScreen::tr("Centre frequency (Hz)"), Kind::Hertz};
    case Role::Taps:
        return {QStringLiteral("taps"), DesignScreen::tr("Taps"), Kind::Count};
    case Role::Phase:
        break;
    }
    return {QStringLiteral("phase"),
            DesignScreen::tr("Plot phase"),
            Kind::Check,
            {QStringLiteral("N"), QStringLiteral("Y")}};
}

// The highest sampling frequency offered: far above any rate the screens' labels are made for.
constexpr double kMostSamplingHz = 1e6;
// The lowest: one that leaves a band of 0.01 Hz below its half.
constexpr double kFewestSamplingHz = 0.03;

} // namespace

std::vector<screens::ExploreControl> DesignScreen::exploreControls() const
{
    const bool banded = asksCentre(m_description.questions);
    std::vector<ExploreControl> controls;
    for (const Question& question : m_description.questions)
        controls.push_back(controlFor(question.role, banded));
    return controls;
}

std::optional<screens::ExploreValues> DesignScreen::drawnValues() const
{
    if (!m_drawn)
        return std::nullopt;
    const bool banded = asksCentre(m_description.questions);
    const DesignValues& v = m_drawn->values;
    return screens::ExploreValues{
        {QStringLiteral("fs"), v.samplingHz},
        {banded ? QStringLiteral("bandwidth") : QStringLiteral("cutoff"), v.bandHz},
        {QStringLiteral("centre"), v.centreHz},
        {QStringLiteral("taps"), v.taps},
        {QStringLiteral("phase"), m_phaseDrawn ? 1 : 0}};
}

// What testAnswers lets through: every number above 0, at most 500 taps, and the band and the
// centre frequency below half the sampling frequency.
screens::ExploreRange DesignScreen::exploreRange(const QString& name,
                                                 const screens::ExploreValues& values) const
{
    if (name == QLatin1String("fs"))
        return {kFewestSamplingHz, kMostSamplingHz};
    if (name == QLatin1String("taps"))
        return {1, dsp::kMostTaps};
    const double halfHz = values.at(QStringLiteral("fs")) / 2;
    return {0.01, screens::largestBelow(halfHz, 2)};
}

Answers DesignScreen::answersFor(const screens::ExploreValues& values) const
{
    const bool banded = asksCentre(m_description.questions);
    Answers answers;
    for (const Question& question : m_description.questions) {
        const ExploreControl control = controlFor(question.role, banded);
        const double value = values.at(control.name);
        const QString text = control.kind == ExploreControl::Kind::Check
            ? control.answers.value(static_cast<int>(value))
            : screens::typedNumber(value, screens::decimalsOf(control.kind));
        answers.setText(question.role, text);
        answers.setAsked(question.role);
    }
    return answers;
}

} // namespace fir
