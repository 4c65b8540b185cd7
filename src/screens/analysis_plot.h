#pragma once

#include "screens/analysis_choice.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

class QPainter;

// What the Analysis window shows of a filter design, as plot panels in data units, and the one
// painter that draws them on screen and into every picture file.
namespace screens {

inline constexpr AnalysisView kAnalysisViews[] = {AnalysisView::Impulse, AnalysisView::Step,
                                                  AnalysisView::GroupDelay, AnalysisView::Zeros,
                                                  AnalysisView::Through};

// As --analyse names it: impulse, step, group-delay, zeros, through.
QString analysisViewName(AnalysisView view);
std::optional<AnalysisView> analysisViewNamed(const QString& name);
// As the window's tab shows it.
QString analysisViewTitle(AnalysisView view);

struct AnalysisDesign {
    std::vector<double> taps;
    double samplingHz = 0;
};

// How many periods of the fundamental the through view shows.
inline constexpr double kThroughPeriods = 2;

struct PlotSeries {
    enum class Style { Line, Stems, Bars, Dots, Rings };
    QString name; // in the legend; empty: not listed
    QColor colour;
    Style style = Style::Line;
    std::vector<QPointF> points; // a NaN y breaks a line
    bool dashed = false;
};

struct PlotPanel {
    enum class Readout { Nearest, Zero };
    QString xLabel;
    QString yLabel;
    QRectF range;           // x from left() to right(), y from top() (lowest) to bottom() (highest)
    bool sameScale = false; // one unit as long across as down (the z-plane)
    bool unitCircle = false;
    bool stemsFromZero = true;
    std::vector<PlotSeries> series;
    QStringList notes; // said on the plot, top left
    Readout readout = Readout::Nearest;
};

struct AnalysisPicture {
    QString title;
    double samplingHz = 0;
    std::vector<PlotPanel> panels;
};

AnalysisPicture analysisPicture(AnalysisView view, const AnalysisDesign& design,
                                const ThroughChoice& through);

// The whole picture (title, panels, axes with tick values, legends, notes) into `area`.
void paintAnalysis(QPainter& painter, const QRectF& area, const AnalysisPicture& picture);

// What lies under a point of `area` as paintAnalysis laid it out; empty off every panel.
QString analysisReadout(const AnalysisPicture& picture, const QRectF& area, const QPointF& at);

// The view's data as --export analysis writes it, and the through view's line spectra.
std::string analysisCsv(AnalysisView view, const AnalysisDesign& design,
                        const ThroughChoice& through);
std::string throughSpectrumCsv(const AnalysisDesign& design, const ThroughChoice& through);

} // namespace screens
