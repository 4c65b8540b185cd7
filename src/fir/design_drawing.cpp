// The design screens' drawing: the tap list, the magnitude traces, the frequency labels and the
// phase trace, all from one response sweep.
#include "fir/design_screen.h"

#include "dsp/fir_design.h"
#include "dsp/number_format.h"
#include "dsp/plot_geometry.h"
#include "forms/palette.h"
#include "screens/screen_setup.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <future>

namespace fir {

using forms::paletteColour;
namespace design = dsp::fir;

void DesignScreen::drawDesign(const DesignValues& values, bool withPhase)
{
    const std::vector<double> taps = m_description.coefficients(values);
    plotTaps(values);
    const std::vector<double> listed =
        m_description.listedValues ? m_description.listedValues(values) : taps;
    listTaps(listed);
    Refresh();
    // One sweep serves both the magnitude and the phase traces. The phase trace's arctangents
    // are worked out on another thread while the magnitude traces are drawn.
    const std::vector<design::ResponsePoint> sweep = design::responseSweep(taps);
    std::future<std::vector<double>> phaseYs;
    if (withPhase)
        phaseYs = std::async(std::launch::async, [&sweep] { return design::phaseTraceYs(sweep); });
    drawMagnitude(sweep, taps);
    writeFrequencyLabels(values.samplingHz);
    setMousePointer(0);
    if (m_description.refreshBeforePhase) {
        Refresh();
        setMousePointer(0);
    }
    if (withPhase)
        drawPhase(sweep, static_cast<int>(taps.size()), phaseYs.get());
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

// Joined from 0 degrees at 0 Hz, so each wrap from -180 to +180 degrees draws a near-vertical
// stroke.
void DesignScreen::drawPhase(const std::vector<design::ResponsePoint>& sweep, int taps,
                             const std::vector<double>& ys)
{
    setForeColor(paletteColour(2));
    Text1->setText(QStringLiteral("+180"));
    Text2->setText(QStringLiteral("-180"));
    if (Text3)
        Text3->setText(QStringLiteral("0"));
    setDrawWidth(1);
    PSet(dsp::kResponseZeroHzX, dsp::kPhaseTraceZeroY);
    for (std::size_t i = 0; i < sweep.size(); ++i)
        LineTo(design::responseX(sweep[i].u, taps), ys[i]);
    setMousePointer(0);
    Refresh();
}

} // namespace fir
