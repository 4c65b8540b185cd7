#include "fir/design_screen.h"

#include "dsp/answer.h"
#include "dsp/number_format.h"
#include "screens/screen_setup.h"
#include "dsp/fir_design.h"
#include "forms/palette.h"
#include "forms/runtime.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

namespace fir {

using forms::paletteColour;
namespace design = dsp::fir;

namespace {

const QColor kLabelBackground(255, 255, 255);
const QColor kListBlue(0, 0, 255);

forms::FontSpec labelFont() { return screens::sansSerif(8.25, true); }

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

QString captionNumber(double value) { return QString::fromStdString(dsp::captionNumber(value)); }

} // namespace

Question samplingQuestion()
{
    return {Role::SamplingHz, QStringLiteral("Sampling frequency in Hz"), QStringLiteral("1000")};
}

Question cutoffQuestion(const QString& defaultAnswer)
{
    return {Role::BandHz, QStringLiteral("Cutoff frequency in Hz [less than half the sampling freq.]"),
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
    return {Role::Phase, QStringLiteral("Plot the filter's phase response? [Y]es or [N]o"), QStringLiteral("N")};
}

CaptionLine samplingCaption(const char* label, LogicalRect rect)
{
    return {label, rect, QStringLiteral("The sampling frequency is "), Role::SamplingHz, QStringLiteral(" Hz")};
}

CaptionLine cutoffCaption(const char* label, LogicalRect rect)
{
    return {label, rect, QStringLiteral("The cutoff frequency is "), Role::BandHz, QStringLiteral(" Hz")};
}

CaptionLine centreCaption(const char* label, LogicalRect rect)
{
    return {label, rect, QStringLiteral("The center frequency is "), Role::CentreHz, QStringLiteral(" Hz")};
}

CaptionLine tapsCaption(const char* label, LogicalRect rect)
{
    return {label, rect, QStringLiteral("The number of taps is "), Role::Taps, QString()};
}

DesignScreen::DesignScreen(const DesignScreenDescription& description, screens::SharedState& shared)
    : Form(QString::fromLatin1(description.name), 11880, 8595), m_description(description)
{
    setCaption(description.caption);
    setLayoutGrid({screens::kCanvasWidth, screens::kCanvasHeight});
    addPanelAndList();
    addPhaseLabels();
    addFrequencyLabels();
    addCaptionLines();
    addButtonsAndMenu();
    m_tools = new screens::CanvasTools(*this, *this, shared.canvasTools);
}

void DesignScreen::addPanelAndList()
{
    const DesignLayout& layout = m_description.layout;
    const auto [left, top, width, height] = layout.coefficientPanel;
    Label4 = addLabel(QStringLiteral("Label4"), logicalRect(left, top, width, height), screens::arial(12, true));
    screens::paintControl(Label4, paletteColour(1), paletteColour(14));
    const auto list = layout.coefficientList;
    List1 = addList(QStringLiteral("List1"), logicalRect(list.left, list.top, list.width, list.height));
    screens::paintControl(List1, kListBlue);
    // Long taps scroll sideways rather than lose their exponent to an ellipsis.
    List1->setTextElideMode(Qt::ElideNone);
}

void DesignScreen::addPhaseLabels()
{
    const DesignLayout& layout = m_description.layout;
    const auto add = [this](const char* name, LogicalRect r) {
        QLineEdit* text = addTextBox(QString::fromLatin1(name), logicalRect(r.left, r.top, r.width, r.height));
        screens::paintControl(text, paletteColour(2));
        return text;
    };
    Text1 = add("Text1", layout.plusLabel);
    if (layout.zeroLabel)
        Text3 = add("Text3", *layout.zeroLabel);
    Text2 = add("Text2", layout.minusLabel);
}

void DesignScreen::addFrequencyLabels()
{
    const DesignLayout& layout = m_description.layout;
    const auto add = [this, &layout](const char* name, int left, int width) {
        QLabel* label = addLabel(QString::fromLatin1(name),
                                 logicalRect(left, layout.frequencyLabelTop, width, 14), labelFont());
        screens::paintControl(label, layout.frequencyLabelColour, kLabelBackground);
        return label;
    };
    Label6 = add("Label6", 4, 111);
    Label5 = add("Label5", 226, 117);
    Label3 = add("Label3", 465, 124);
}

// Later lines lie in front of earlier ones where their rectangles overlap.
void DesignScreen::addCaptionLines()
{
    for (const CaptionLine& line : m_description.captions) {
        const LogicalRect r = line.rect;
        QLabel* label = addLabel(QString::fromLatin1(line.label),
                                 logicalRect(r.left, r.top, r.width, r.height), labelFont());
        screens::paintControl(label, Qt::black, kLabelBackground);
        m_captionLabels.push_back(label);
    }
}

void DesignScreen::addButtonsAndMenu()
{
    const int left = m_description.layout.buttonLeft;
    const forms::FontSpec font = screens::arial(9.75, true);
    Command2 = addButton(QStringLiteral("Command2"), QStringLiteral("Main Menu"), logicalRect(left, 382, 85, 34),
                         font);
    Command1 = addButton(QStringLiteral("Command1"), QStringLiteral(" Do Another"), logicalRect(left, 422, 85, 34),
                         font);
    onClick(Command1, [this] { Command1_Click(); });
    onClick(Command2, [this] { Command2_Click(); });
    QMenu* help = addMenu(QString::fromLatin1(m_description.helpMenu), QStringLiteral("&Help"));
    addMenuItem(help, QString::fromLatin1(m_description.aboutItem), QStringLiteral("About"),
                [this] { menuAbout_Click(); });
}

void DesignScreen::Form_Load() { runDesign(); }

void DesignScreen::Command1_Click()
{
    forms::Runtime& runtime = this->runtime();
    const QString again = name();
    runtime.Unload(this);
    runtime.Load(again);
}

void DesignScreen::Command2_Click()
{
    forms::Runtime& runtime = this->runtime();
    runtime.Unload(this);
    runtime.Load(QStringLiteral("Form2"));
}

void DesignScreen::menuAbout_Click()
{
    forms::Runtime& runtime = this->runtime();
    const QString box = QString::fromLatin1(m_description.aboutBox);
    if (!runtime.knows(box))
        return;
    if (forms::Form* about = runtime.Load(box))
        about->Show(1);
}

void DesignScreen::runDesign()
{
    Text1->clear();
    Text2->clear();
    if (Text3)
        Text3->clear();
    blankTapPlotLabels();
    setUpCanvas();
    const Answers answers = askQuestions();
    const DesignValues values = testAnswers(answers);
    writeCaptions(answers);
    screens::busyOn(*this);
    drawDesign(values, wantsPhase(answers));
}

// The graticule stands before the first question, so the prompts open over it.
void DesignScreen::setUpCanvas()
{
    m_drawn.reset();
    screens::standardSetUp(*this, {});
    screens::drawGraticuleOn(*this);
}

// Every question is asked before any answer is tested.
Answers DesignScreen::askQuestions()
{
    Answers answers;
    for (const Question& question : m_description.questions) {
        const QString answer = screens::ask(*this, question.title, question.defaultAnswer, ruleFor(question.role));
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
        case Role::SamplingHz: values.samplingHz = positiveOrEnd(runtime(), answers.text(Role::SamplingHz)); break;
        case Role::BandHz: values.bandHz = positiveOrEnd(runtime(), answers.text(Role::BandHz)); break;
        case Role::CentreHz: values.centreHz = positiveOrEnd(runtime(), answers.text(Role::CentreHz)); break;
        case Role::Taps: {
            const double taps = positiveOrEnd(runtime(), answers.text(Role::Taps));
            if (taps > dsp::kMostTaps) // the coefficient table has slots for 500 taps
                runtime().End();
            values.taps = static_cast<int>(taps);
            break;
        }
        case Role::Phase: break;
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
        screens::showOnOneLine(m_captionLabels[i], line.text + answers.text(line.answer) + line.unit);
    }
}

// Exactly "Y" or "y"; an empty answer counts as "N".
bool DesignScreen::wantsPhase(const Answers& answers) const
{
    const QString& choice = answers.text(Role::Phase);
    return choice == QLatin1String("Y") || choice == QLatin1String("y");
}

void DesignScreen::drawDesign(const DesignValues& values, bool withPhase)
{
    const std::vector<double> taps = m_description.coefficients(values);
    plotTaps(values);
    const std::vector<double> listed = m_description.listedValues ? m_description.listedValues(values) : taps;
    listTaps(listed);
    Refresh();
    // One sweep serves both the magnitude and the phase traces.
    const std::vector<design::ResponsePoint> sweep = design::responseSweep(taps);
    drawMagnitude(sweep, taps);
    writeFrequencyLabels(values.samplingHz);
    setMousePointer(0);
    if (m_description.refreshBeforePhase) {
        Refresh();
        setMousePointer(0);
    }
    if (withPhase)
        drawPhase(sweep, static_cast<int>(taps.size()));
    m_drawn = Drawn{values, taps, listed, sweep, std::nullopt};
    m_tools->drawingChanged();
}

void DesignScreen::listTaps(const std::vector<double>& taps)
{
    Label4->setText(QStringLiteral("        Coefficients"));
    List1->clear();
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(taps.size()));
    for (double tap : taps)
        lines << captionNumber(tap);
    List1->addItems(lines);
}

// Single points, the red linear one first and the black logarithmic one after it at each u.
void DesignScreen::drawMagnitude(const std::vector<design::ResponsePoint>& sweep,
                                 const std::vector<double>& taps)
{
    const int tapCount = static_cast<int>(taps.size());
    const double reference = design::logReference(taps);
    const QColor red = paletteColour(12);
    const QColor black = paletteColour(0);
    for (const design::ResponsePoint& point : sweep) {
        const double x = design::responseX(point.u, tapCount);
        const double a = design::magnitude(point);
        setForeColor(red);
        setDrawWidth(2);
        PSet(x, design::linearTraceY(a, m_description.linearScale));
        if (!m_description.logTrace)
            continue;
        setForeColor(black);
        setDrawWidth(1);
        PSet(x, design::logTraceY(a, reference));
    }
}

void DesignScreen::writeFrequencyLabels(double samplingHz)
{
    const QString hz = QStringLiteral(" Hz");
    screens::showOnOneLine(Label3, captionNumber(dsp::wholePart(samplingHz / 2)) + hz);
    Label6->setText(QStringLiteral("0 Hz"));
    screens::showOnOneLine(Label5, captionNumber(dsp::wholePart(samplingHz / 4)) + hz);
}

// Joined from (10, 196), so each wrap from -180 to +180 degrees draws a near-vertical stroke.
void DesignScreen::drawPhase(const std::vector<design::ResponsePoint>& sweep, int taps)
{
    setForeColor(paletteColour(2));
    Text1->setText(QStringLiteral("+180"));
    Text2->setText(QStringLiteral("-180"));
    if (Text3)
        Text3->setText(QStringLiteral("0"));
    setDrawWidth(1);
    PSet(10, 196);
    for (const design::ResponsePoint& point : sweep)
        LineTo(design::responseX(point.u, taps), design::phaseTraceY(design::phaseDegrees(point)));
    setMousePointer(0);
    Refresh();
}

} // namespace fir
