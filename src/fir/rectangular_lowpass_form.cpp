#include "fir/rectangular_lowpass_form.h"

#include "dsp/fir_design.h"
#include "forms/palette.h"
#include "screens/screen_setup.h"

#include <QCheckBox>
#include <QLabel>

namespace fir {
namespace {

std::vector<double> coefficients(const DesignValues& v)
{
    return dsp::fir::rectangularLowpassTaps(v.samplingHz, v.bandHz, v.taps);
}

std::vector<double> listedValues(const DesignValues& v)
{
    return dsp::fir::rectangularLowpassSincValues(v.samplingHz, v.bandHz, v.taps);
}

DesignScreenDescription description()
{
    return {
        .name = Form8::kName,
        .fileName = "rectangular-lowpass",
        .caption = QStringLiteral("FIR low-pass filter design [rectangular window]"),
        .questions = {samplingQuestion(), cutoffQuestion(QStringLiteral("150")),
                      tapsQuestion(QStringLiteral("15"))},
        .captions = {samplingCaption("Label7", {13, 415, 188, 21}),
                     cutoffCaption("Label8", {213, 415, 149, 34}),
                     tapsCaption("Label9", {375, 415, 143, 34})},
        .coefficients = coefficients,
        .listedValues = listedValues,
        .logTrace = false,
        .window = "rectangular",
        .aboutBox = "frmAbout2",
        .helpMenu = "menuhelp",
        .aboutItem = "menuabout",
        // The tap plot has its zero line at 0 degrees, so there is no "0" phase label.
        .layout = {.coefficientPanel = {504, 34, 130, 262},
                   .coefficientList = {511, 47, 117, 243},
                   .zeroLabel = std::nullopt,
                   .minusLabel = {481, 333, 22, 16},
                   .frequencyLabelColour = QColor(255, 0, 0)},
    };
}

QLabel* addScaleLabel(forms::Form& form, const char* name, const QRect& rect)
{
    QLabel* label = form.addLabel(QString::fromLatin1(name), rect, screens::sansSerif(8.25, true));
    screens::paintControl(label, Qt::black, Qt::white);
    return label;
}

} // namespace

Form8::Form8(screens::SharedState& shared) : DesignScreen(description(), shared)
{
    Label2 = addScaleLabel(*this, "Label2", logicalRect(481, 4, 98, 14));
    Label1 = addScaleLabel(*this, "Label1", logicalRect(481, 190, 27, 14));
    Check1 = addCheckBox(QStringLiteral("Check1"), QStringLiteral("Plot Coefficients"),
                         logicalRect(511, 315, 117, 21));
    Check2 = addCheckBox(QStringLiteral("Check2"), QStringLiteral("Plot Phase Response"),
                         logicalRect(511, 335, 117, 21));
    // The Explore panel shows the boxes as they stand, so its next drawing keeps a click on them.
    for (QCheckBox* box : {Check1, Check2})
        connect(box, &QCheckBox::toggled, this, [this] { answersChanged(); });
}

void Form8::Form_Load() { filterdesign(); }

// Designs again in place: the screen clears its own canvas, list and labels.
void Form8::Command1_Click() { filterdesign(); }

void Form8::filterdesign() { runDesign(); }

void Form8::blankTapPlotLabels()
{
    Label1->setText(QStringLiteral(" "));
    Label2->setText(QStringLiteral(" "));
}

// The zero mark shows with the captions; the top of the scale waits for the design.
void Form8::captionTapPlot()
{
    Label1->setText(Check1->isChecked() ? QStringLiteral("0") : QString());
    Label2->clear();
}

// The taps as black points over the tap plot's zero line, the centre tap at the top of the scale.
void Form8::plotTaps(const DesignValues& values)
{
    const bool plotting = Check1->isChecked();
    const double top = dsp::fir::tapPlotTopValue(values.samplingHz, values.bandHz, values.taps);
    screens::showOnOneLine(Label2, plotting ? screens::captionWith(QString(), top) : QString());
    setForeColor(forms::paletteColour(0));
    setDrawWidth(2);
    if (!plotting)
        return;
    for (const dsp::PlotPoint& point :
         dsp::fir::tapPlotPoints(values.samplingHz, values.bandHz, values.taps))
        PSet(point.x, point.y);
}

bool Form8::wantsPhase(const Answers&) const { return Check2->isChecked(); }

// The two check boxes instead of the phase question.
std::vector<screens::ExploreControl> Form8::exploreControls() const
{
    using Kind = screens::ExploreControl::Kind;
    const QStringList noYes{QStringLiteral("0"), QStringLiteral("1")};
    std::vector<screens::ExploreControl> controls = DesignScreen::exploreControls();
    controls.push_back({QStringLiteral("plot-taps"), Check1->text(), Kind::Check, noYes});
    controls.push_back({QStringLiteral("plot-phase"), Check2->text(), Kind::Check, noYes});
    return controls;
}

std::optional<screens::ExploreValues> Form8::drawnValues() const
{
    std::optional<screens::ExploreValues> values = DesignScreen::drawnValues();
    if (values) {
        (*values)[QStringLiteral("plot-taps")] = Check1->isChecked();
        (*values)[QStringLiteral("plot-phase")] = Check2->isChecked();
    }
    return values;
}

void Form8::setExploredChecks(const screens::ExploreValues& values)
{
    Check1->setChecked(values.at(QStringLiteral("plot-taps")) != 0);
    Check2->setChecked(values.at(QStringLiteral("plot-phase")) != 0);
}

} // namespace fir
