// The design screens' drawing: the tap list, the magnitude traces, the frequency labels and the
// phase trace, all from one response sweep.
#include "fir/design_screen.h"

#include "dsp/fir_design.h"
#include "dsp/number_format.h"
#include "dsp/plot_geometry.h"
#include "forms/palette.h"
#include "screens/screen_setup.h"
#include "screens/side_task.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QThread>

#include <algorithm>
#include <array>
#include <optional>
#include <span>

namespace fir {

using forms::paletteColour;
namespace design = dsp::fir;

void DesignScreen::drawDesign(const DesignValues& values, bool withPhase)
{
    const std::vector<double> taps = m_description.coefficients(values);
    plotTaps(values);
    const std::vector<double> listed =
        m_description.listedValues ? m_description.listedValues(values) : taps;
    // One sweep serves both the magnitude and the phase traces. Their points are worked out on
    // another thread while the list is filled; the sweep shows nothing, so it may come first. The
    // phase trace, the longer work, goes first: the magnitude's is then most often taken back by
    // this thread once the list is filled, and both threads finish near together.
    std::vector<design::ResponsePoint> sweep = design::responseSweep(taps);
    const double reference = design::logReference(taps);
    const int tapCount = static_cast<int>(taps.size());
    const forms::CanvasMapping mapping = canvasMapping();
    std::optional<screens::SideTask> phasePoints;
    if (withPhase)
        phasePoints.emplace(
            [this, &sweep, tapCount, &mapping] { tracePhase(sweep, tapCount, mapping); });
    screens::SideTask magnitudePoints([this, &sweep, reference, tapCount, &mapping] {
        traceMagnitude(sweep, reference, tapCount, mapping);
    });
    listTaps(listed);
    Refresh();
    magnitudePoints.wait();
    drawMagnitude();
    writeFrequencyLabels(values.samplingHz);
    setMousePointer(0);
    if (m_description.refreshBeforePhase) {
        Refresh();
        setMousePointer(0);
    }
    if (withPhase) {
        phasePoints->wait();
        drawPhase();
    }
    m_drawn = Drawn{values, taps, listed, std::move(sweep), std::nullopt};
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
    // Laid out now, so that the list is painted once with the window, not again after it.
    List1->doItemsLayout();
}

// Run beside the list's filling: nothing here touches the window.
void DesignScreen::traceMagnitude(const std::vector<design::ResponsePoint>& sweep, double reference,
                                  int taps, const forms::CanvasMapping& mapping)
{
    const bool logTrace = m_description.logTrace;
    std::vector<QPointF>& dots = m_magnitudeDots;
    dots.clear();
    dots.reserve(sweep.size() * (logTrace ? 2 : 1));
    for (const design::ResponsePoint& point : sweep) {
        const double x = design::responseX(point.u, taps);
        const double a = design::magnitude(point);
        dots.emplace_back(x, design::linearTraceY(a, m_description.linearScale));
        if (logTrace)
            dots.emplace_back(x, design::logTraceY(a, reference));
    }
    m_magnitudePixels.map(mapping, dots);
}

// Single points, the red linear one first and the black logarithmic one after it at each u.
void DesignScreen::drawMagnitude()
{
    const std::array<DotPen, 2> pens{{{paletteColour(12), 2}, {paletteColour(0), 1}}};
    PSetInTurns(m_magnitudeDots, std::span(pens).first(m_description.logTrace ? 2 : 1),
                m_magnitudePixels);
}

void DesignScreen::writeFrequencyLabels(double samplingHz)
{
    const QString hz = QStringLiteral(" Hz");
    screens::showOnOneLine(Label3, captionNumber(dsp::wholePart(samplingHz / 2)) + hz);
    Label6->setText(QStringLiteral("0 Hz"));
    screens::showOnOneLine(Label5, captionNumber(dsp::wholePart(samplingHz / 4)) + hz);
}

// Run beside the list and the magnitude traces: nothing here touches the window.
void DesignScreen::tracePhase(const std::vector<design::ResponsePoint>& sweep, int taps,
                              const forms::CanvasMapping& mapping)
{
    m_phaseEnds.resize(sweep.size());
    std::transform(sweep.begin(), sweep.end(), m_phaseEnds.begin(), [taps](const auto& point) {
        return QPointF(design::responseX(point.u, taps),
                       design::phaseTraceY(design::phaseDegrees(point)));
    });
    // Taken back by the window's thread, the polyline is drawn straight: its mask pays only where
    // another thread makes it.
    if (QThread::currentThread() == thread())
        m_phasePixels.mapping = {};
    else
        m_phasePixels.map(mapping, phaseStart(), m_phaseEnds);
}

QPointF DesignScreen::phaseStart() { return {dsp::kResponseZeroHzX, dsp::kPhaseTraceZeroY}; }

// Joined from 0 degrees at 0 Hz, so each wrap from -180 to +180 degrees draws a near-vertical
// stroke.
void DesignScreen::drawPhase()
{
    setForeColor(paletteColour(2));
    const auto show = [](QLineEdit* box, const QString& text) {
        if (box && box->text() != text)
            box->setText(text);
    };
    show(Text1, QStringLiteral("+180"));
    show(Text2, QStringLiteral("-180"));
    show(Text3, QStringLiteral("0"));
    setDrawWidth(1);
    PSet(phaseStart().x(), phaseStart().y());
    LineToEach(m_phaseEnds, m_phasePixels);
    setMousePointer(0);
    Refresh();
}

} // namespace fir
