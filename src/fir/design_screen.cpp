#include "fir/design_screen.h"

#include "dsp/answer.h"
#include "dsp/fir_design.h"
#include "dsp/number_format.h"
#include "forms/palette.h"
#include "forms/runtime.h"
#include "screens/screen_setup.h"
#include "screens/side_task.h"

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

} // namespace

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
    m_tools->setExplorable(*this);
}

void DesignScreen::addPanelAndList()
{
    const DesignLayout& layout = m_description.layout;
    const auto [left, top, width, height] = layout.coefficientPanel;
    Label4 = addLabel(QStringLiteral("Label4"), logicalRect(left, top, width, height),
                      screens::arial(12, true));
    screens::paintControl(Label4, paletteColour(1), paletteColour(14));
    const auto list = layout.coefficientList;
    List1 =
        addList(QStringLiteral("List1"), logicalRect(list.left, list.top, list.width, list.height));
    screens::paintControl(List1, kListBlue);
    // Long taps scroll sideways rather than lose their exponent to an ellipsis.
    List1->setTextElideMode(Qt::ElideNone);
}

void DesignScreen::addPhaseLabels()
{
    const DesignLayout& layout = m_description.layout;
    const auto add = [this](const char* name, LogicalRect r) {
        QLineEdit* text =
            addTextBox(QString::fromLatin1(name), logicalRect(r.left, r.top, r.width, r.height));
        screens::paintControl(text, paletteColour(2));
        // The scale's captions: shown, never typed into, and no stop for Tab.
        text->setReadOnly(true);
        text->setFocusPolicy(Qt::NoFocus);
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
        QLabel* label = addLabel(
            QString::fromLatin1(name),
            logicalRect(left, layout.frequencyLabelTop, width, kFrequencyLabelHeight), labelFont());
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
    Command2 = addButton(QStringLiteral("Command2"), QStringLiteral("Main Menu"),
                         logicalRect(left, 382, 85, 34), font);
    Command1 = addButton(QStringLiteral("Command1"), QStringLiteral(" Do Another"),
                         logicalRect(left, 422, 85, 34), font);
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
    clearPhaseLabels();
    setUpCanvas();
    drawAnswers(askQuestions());
    // The next thing wanted is most often another design.
    Command1->setFocus();
}

void DesignScreen::drawAnswers(const Answers& answers)
{
    const DesignValues values = testAnswers(answers);
    writeCaptions(answers);
    screens::busyOn(*this);
    m_phaseDrawn = wantsPhase(answers);
    drawDesign(values, m_phaseDrawn);
}

// The canvas and labels as the set-up before the questions leaves them, then what follows the
// questions.
void DesignScreen::explore(const screens::ExploreValues& values)
{
    const int tapsBefore = m_drawn ? m_drawn->values.taps : 0;
    const Answers answers = answersFor(values);
    setExploredChecks(values);
    // Phase captions that the drawing writes again are left standing: cleared and written back,
    // they would only be painted again.
    if (m_drawn && m_phaseDrawn && wantsPhase(answers))
        blankTapPlotLabels();
    else
        clearPhaseLabels();
    m_drawn.reset();
    screens::clearForRedraw(*this, {});
    screens::drawGraticuleOn(*this);
    drawAnswers(answers);
    prepareNextTapCount(tapsBefore);
}

// A drag on the tap count goes on the way it went: the next count's sweep is made ready while
// the window shows this one.
void DesignScreen::prepareNextTapCount(int tapsBefore)
{
    if (!m_drawn || tapsBefore == 0 || m_drawn->values.taps == tapsBefore)
        return;
    const int taps = m_drawn->values.taps;
    const int next = taps + (taps > tapsBefore ? 1 : -1);
    if (next >= 1 && next <= dsp::kMostTaps)
        screens::SideTask::runAside([next] { dsp::fir::prepareResponseSweep(next); });
}

void DesignScreen::clearPhaseLabels()
{
    Text1->clear();
    Text2->clear();
    if (Text3)
        Text3->clear();
    blankTapPlotLabels();
}

// The graticule stands before the first question, so the prompts open over it.
void DesignScreen::setUpCanvas()
{
    m_drawn.reset();
    screens::standardSetUp(*this, {});
    m_tools->drawingChanged();
    screens::drawGraticuleOn(*this);
}

} // namespace fir
