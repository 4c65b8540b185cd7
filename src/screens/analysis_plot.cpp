#include "screens/analysis_plot.h"

#include "dsp/filter_analysis.h"
#include "dsp/wave_through_filter.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace screens {
namespace {

// Texts of the plots, translated in one context.
QString tr(const char* text) { return QCoreApplication::translate("AnalysisPlot", text); }

const QColor kTapColour(0x1f, 0x3a, 0x93);
const QColor kInputColour(0x4a, 0x90, 0xd9);
const QColor kOutputColour(0xc6, 0x28, 0x28);
const QColor kGainColour(0x30, 0x30, 0x30);
const QColor kGrid(0xe4, 0xe4, 0xe4);
const QColor kFrame(0x80, 0x80, 0x80);

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct ViewNames {
    AnalysisView view;
    const char* name;
    const char* title;
};
constexpr ViewNames kViewNames[] = {
    {AnalysisView::Impulse, "impulse", "Impulse response"},
    {AnalysisView::Step, "step", "Step response"},
    {AnalysisView::GroupDelay, "group-delay", "Group delay"},
    {AnalysisView::Zeros, "zeros", "Zeros"},
    {AnalysisView::Through, "through", "Through the filter"},
};

QString number(double value) { return QString::number(value, 'g', 6); }

// A range [low, high] with some room on both sides; a single value gets a unit either side.
std::pair<double, double> padded(double low, double high)
{
    if (!(high > low))
        return {low - 1, high + 1};
    const double room = (high - low) * 0.06;
    return {low - room, high + room};
}

QRectF rangeOf(double left, double right, std::pair<double, double> values)
{
    return QRectF(QPointF(left, values.first), QPointF(right, values.second));
}

// The lowest and highest finite y of the series, with `also` among them.
std::pair<double, double> extent(const std::vector<PlotSeries>& series, double also)
{
    double low = also;
    double high = also;
    for (const PlotSeries& one : series)
        for (const QPointF& point : one.points)
            if (std::isfinite(point.y())) {
                low = std::min(low, point.y());
                high = std::max(high, point.y());
            }
    return {low, high};
}

QString tapsProblem(dsp::TapsCheck check)
{
    switch (check) {
    case dsp::TapsCheck::Usable:
        return {};
    case dsp::TapsCheck::Empty:
        return tr("No taps.");
    case dsp::TapsCheck::NotFinite:
        return tr("A tap is not a finite number.");
    case dsp::TapsCheck::AllZero:
        return tr("Every tap is zero: no response to show.");
    case dsp::TapsCheck::TooMany:
        return tr("More than 500 taps.");
    }
    return {};
}

// Taps or their running sums as stems from n = 0.
PlotPanel stemPanel(const std::vector<double>& values, const QString& name, const QString& yLabel)
{
    PlotPanel panel;
    panel.xLabel = tr("n (samples)");
    panel.yLabel = yLabel;
    PlotSeries stems{name, kTapColour, PlotSeries::Style::Stems, {}, false};
    for (std::size_t n = 0; n < values.size(); ++n)
        stems.points.emplace_back(static_cast<double>(n), values[n]);
    panel.series.push_back(stems);
    const double last = std::max<double>(static_cast<double>(values.size()) - 1, 0);
    panel.range = rangeOf(-0.5, last + 0.5,
                          padded(extent(panel.series, 0).first, extent(panel.series, 0).second));
    return panel;
}

PlotPanel impulsePanel(const AnalysisDesign& design)
{
    PlotPanel panel = stemPanel(design.taps, tr("h[n], the taps"), tr("h[n]"));
    panel.notes << tr("%1 taps").arg(design.taps.size());
    return panel;
}

PlotPanel stepPanel(const AnalysisDesign& design)
{
    const std::vector<double> steps = dsp::stepResponse(design.taps);
    PlotPanel panel = stemPanel(steps, tr("s[n], the running sum"), tr("s[n]"));
    if (!steps.empty())
        panel.notes << tr("final value %1 = the gain at 0 Hz").arg(number(steps.back()));
    return panel;
}

PlotPanel groupDelayPanel(const AnalysisDesign& design)
{
    const dsp::GroupDelay delay = dsp::groupDelay(design.taps, design.samplingHz);
    PlotPanel panel;
    panel.xLabel = tr("frequency (Hz)");
    panel.yLabel = tr("group delay (samples)");
    PlotSeries line{tr("group delay"), kTapColour, PlotSeries::Style::Line, {}, false};
    for (const dsp::GroupDelayPoint& point : delay.points)
        line.points.emplace_back(point.frequencyHz, point.delaySamples.value_or(kNaN));
    panel.series.push_back(line);
    const double middle = (static_cast<double>(design.taps.size()) - 1) / 2;
    const auto [low, high] = extent(panel.series, 0);
    panel.range = rangeOf(0, design.samplingHz / 2, padded(low, std::max(high, 2 * middle)));
    if (const QString problem = tapsProblem(delay.taps); !problem.isEmpty())
        panel.notes << problem;
    else
        panel.notes << tr("a symmetric design reads (N - 1) / 2 = %1 samples").arg(number(middle));
    if (delay.leftOut > 0)
        panel.notes << tr("%1 of %2 points left out: |H| below 1e-5 of its peak there")
                           .arg(delay.leftOut)
                           .arg(delay.points.size());
    return panel;
}

QString zerosProblem(dsp::ZerosStatus status)
{
    switch (status) {
    case dsp::ZerosStatus::Found:
        return {};
    case dsp::ZerosStatus::NoPolynomial:
        return tr("No zeros: every tap is zero.");
    case dsp::ZerosStatus::NotFinite:
        return tr("A tap is not a finite number.");
    case dsp::ZerosStatus::TooMany:
        return tr("More than 500 taps.");
    case dsp::ZerosStatus::Unsolved:
        return tr("The zeros could not be found to a double's range.");
    }
    return {};
}

PlotPanel zerosPanel(const AnalysisDesign& design)
{
    const dsp::FilterZeros zeros = dsp::filterZeros(design.taps);
    PlotPanel panel;
    panel.xLabel = tr("real part");
    panel.yLabel = tr("imaginary part");
    panel.sameScale = true;
    panel.unitCircle = true;
    panel.readout = PlotPanel::Readout::Zero;
    PlotSeries rings{tr("zeros of H(z)"), kOutputColour, PlotSeries::Style::Rings, {}, false};
    double reach = 1;
    for (std::complex<double> zero : zeros.zeros) {
        rings.points.emplace_back(zero.real(), zero.imag());
        if (std::isfinite(std::abs(zero)))
            reach = std::max(reach, std::abs(zero));
    }
    panel.series.push_back(rings);
    // No points: the panel draws the circle; the series lists it in the legend.
    panel.series.push_back({tr("unit circle"), kFrame, PlotSeries::Style::Line, {}, true});
    reach *= 1.15;
    panel.range = QRectF(QPointF(-reach, -reach), QPointF(reach, reach));
    if (const QString problem = zerosProblem(zeros.status); !problem.isEmpty())
        panel.notes << problem;
    else
        panel.notes << tr("%1 zeros").arg(zeros.zeros.size());
    if (zeros.atOrigin > 0)
        panel.notes << tr("%1 at the origin").arg(zeros.atOrigin);
    if (zeros.atInfinity > 0)
        panel.notes << tr("%1 at infinity (leading zero taps), not shown").arg(zeros.atInfinity);
    return panel;
}

dsp::SampledWave sampledWave(const AnalysisDesign& design, const ThroughChoice& through)
{
    return {through.wave,          through.harmonics, through.dutyCycle,
            through.fundamentalHz, design.samplingHz, kThroughPeriods};
}

// Input and output on one time axis, the output moved back by the design's delay.
PlotPanel timePanel(const dsp::WaveThroughFilter& through, double samplingHz)
{
    PlotPanel panel;
    panel.xLabel = tr("time (s)");
    panel.yLabel = tr("value");
    PlotSeries input{tr("input"), kInputColour, PlotSeries::Style::Line, {}, false};
    PlotSeries output{tr("output"), kOutputColour, PlotSeries::Style::Line, {}, false};
    for (const dsp::ThroughSample& row : through.samples) {
        input.points.emplace_back(row.timeS, row.input);
        const double shifted = (row.n - through.delaySamples) / samplingHz;
        if (shifted >= 0)
            output.points.emplace_back(shifted, row.output);
    }
    panel.series = {input, output};
    const double end = through.samples.empty() ? 1 : through.samples.back().timeS;
    const auto [low, high] = extent(panel.series, 0);
    panel.range = rangeOf(0, end, padded(low, high));
    panel.notes << tr("output shifted back by %1 samples, the filter's delay")
                       .arg(number(through.delaySamples));
    if (through.harmonicsLeftOut > 0)
        panel.notes << tr("%1 harmonics at or above fs/2 left out").arg(through.harmonicsLeftOut);
    return panel;
}

// Each harmonic's amplitude in and out, and the design's gain there.
PlotPanel spectrumPanel(const dsp::WaveThroughFilter& through, double samplingHz)
{
    PlotPanel panel;
    panel.xLabel = tr("frequency (Hz)");
    panel.yLabel = tr("amplitude, gain");
    PlotSeries input{tr("input"), kInputColour, PlotSeries::Style::Bars, {}, false};
    PlotSeries output{tr("output"), kOutputColour, PlotSeries::Style::Stems, {}, false};
    PlotSeries gain{tr("gain |H|"), kGainColour, PlotSeries::Style::Dots, {}, true};
    for (const dsp::ThroughHarmonic& row : through.harmonics) {
        input.points.emplace_back(row.frequencyHz, row.input);
        output.points.emplace_back(row.frequencyHz, row.output);
        gain.points.emplace_back(row.frequencyHz, row.gain);
    }
    panel.series = {input, output, gain};
    panel.range =
        rangeOf(0, samplingHz / 2, padded(0, std::max(extent(panel.series, 1).second, 1.0)));
    return panel;
}

QString throughProblem(dsp::ThroughStatus status)
{
    switch (status) {
    case dsp::ThroughStatus::Done:
        return {};
    case dsp::ThroughStatus::NoTaps:
        return tr("No taps.");
    case dsp::ThroughStatus::NotFinite:
        return tr("A tap is not a finite number.");
    case dsp::ThroughStatus::TooMany:
        return tr("More than 500 taps.");
    case dsp::ThroughStatus::BadWave:
        return tr("The wave cannot be sampled: check its fundamental.");
    }
    return {};
}

std::vector<PlotPanel> throughPanels(const AnalysisDesign& design, const ThroughChoice& choice)
{
    const dsp::WaveThroughFilter through =
        dsp::waveThroughFilter(design.taps, sampledWave(design, choice));
    std::vector<PlotPanel> panels{timePanel(through, design.samplingHz),
                                  spectrumPanel(through, design.samplingHz)};
    if (const QString problem = throughProblem(through.status); !problem.isEmpty())
        panels.front().notes = QStringList{problem};
    return panels;
}

// ---- Laying out and painting ----

QFont plotFont(const QRectF& area)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(static_cast<int>(std::clamp(area.height() / 45, 11.0, 28.0)));
    return font;
}

// Where each panel's plot area lies in `area`, leaving room for the title, tick values and
// axis labels.
std::vector<QRectF> plotRects(const AnalysisPicture& picture, const QRectF& area)
{
    const double text = plotFont(area).pixelSize();
    const QRectF body = area.adjusted(text * 7.5, text * 2.2, -text * 1.2, 0);
    std::vector<QRectF> rects;
    const double count = static_cast<double>(picture.panels.size());
    const double height = body.height() / std::max(count, 1.0);
    for (std::size_t i = 0; i < picture.panels.size(); ++i) {
        QRectF rect(body.left(), body.top() + height * static_cast<double>(i), body.width(),
                    height - text * 3.4);
        const PlotPanel& panel = picture.panels[i];
        if (panel.sameScale && panel.range.width() > 0 && panel.range.height() > 0) {
            const double scale =
                std::min(rect.width() / panel.range.width(), rect.height() / panel.range.height());
            const QSizeF size(panel.range.width() * scale, panel.range.height() * scale);
            rect = QRectF(rect.center() - QPointF(size.width() / 2, size.height() / 2), size);
        }
        rects.push_back(rect);
    }
    return rects;
}

QPointF toPixel(const PlotPanel& panel, const QRectF& rect, const QPointF& data)
{
    const QRectF& r = panel.range;
    return {rect.left() + (data.x() - r.left()) / r.width() * rect.width(),
            rect.bottom() - (data.y() - r.top()) / r.height() * rect.height()};
}

QPointF toData(const PlotPanel& panel, const QRectF& rect, const QPointF& pixel)
{
    const QRectF& r = panel.range;
    return {r.left() + (pixel.x() - rect.left()) / rect.width() * r.width(),
            r.top() + (rect.bottom() - pixel.y()) / rect.height() * r.height()};
}

// Round values 1, 2 or 5 times a power of ten apart, about `wanted` of them across [low, high].
std::vector<double> ticks(double low, double high, int wanted)
{
    const double span = high - low;
    if (!(span > 0) || !std::isfinite(span))
        return {};
    const double rough = span / wanted;
    const double power = std::pow(10, std::floor(std::log10(rough)));
    double step = power * 10;
    for (double factor : {1.0, 2.0, 5.0})
        if (rough <= factor * power) {
            step = factor * power;
            break;
        }
    std::vector<double> values;
    for (double k = std::ceil(low / step); k * step <= high; k += 1)
        values.push_back(std::abs(k) < 0.5 ? 0.0 : k * step);
    return values;
}

void paintAxes(QPainter& painter, const PlotPanel& panel, const QRectF& rect)
{
    const QFontMetricsF metrics(painter.font());
    const double text = metrics.height();
    for (double x : ticks(panel.range.left(), panel.range.right(), 8)) {
        const double at = toPixel(panel, rect, {x, 0}).x();
        painter.setPen(kGrid);
        painter.drawLine(QPointF(at, rect.top()), QPointF(at, rect.bottom()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(at - 50, rect.bottom() + 2, 100, text), Qt::AlignHCenter,
                         number(x));
    }
    for (double y : ticks(panel.range.top(), panel.range.bottom(), 6)) {
        const double at = toPixel(panel, rect, {0, y}).y();
        painter.setPen(kGrid);
        painter.drawLine(QPointF(rect.left(), at), QPointF(rect.right(), at));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(rect.left() - 104, at - text / 2, 100, text),
                         Qt::AlignRight | Qt::AlignVCenter, number(y));
    }
    painter.setPen(kFrame);
    if (panel.range.top() < 0 && panel.range.bottom() > 0) {
        const double zero = toPixel(panel, rect, {0, 0}).y();
        painter.drawLine(QPointF(rect.left(), zero), QPointF(rect.right(), zero));
    }
    painter.drawRect(rect);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(rect.left(), rect.bottom() + text, rect.width(), text),
                     Qt::AlignHCenter, panel.xLabel);
    painter.save();
    painter.translate(rect.left() - metrics.horizontalAdvance(QStringLiteral("-0.00000")) - text,
                      rect.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-rect.height() / 2, -text, rect.height(), text), Qt::AlignHCenter,
                     panel.yLabel);
    painter.restore();
}

void paintUnitCircle(QPainter& painter, const PlotPanel& panel, const QRectF& rect)
{
    QPen pen(kFrame);
    pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QPointF centre = toPixel(panel, rect, {0, 0});
    const QPointF edge = toPixel(panel, rect, {1, 1});
    painter.drawEllipse(centre, edge.x() - centre.x(), centre.y() - edge.y());
    painter.drawLine(toPixel(panel, rect, {panel.range.left(), 0}),
                     toPixel(panel, rect, {panel.range.right(), 0}));
    painter.drawLine(toPixel(panel, rect, {0, panel.range.top()}),
                     toPixel(panel, rect, {0, panel.range.bottom()}));
}

// The y a stem or bar stands on: zero, or the range's edge nearest it.
double baseOf(const PlotPanel& panel)
{
    return std::clamp(0.0, panel.range.top(), panel.range.bottom());
}

void paintSeries(QPainter& painter, const PlotPanel& panel, const QRectF& rect,
                 const PlotSeries& series, double unit)
{
    QPen pen(series.colour, unit * 1.5);
    pen.setCapStyle(Qt::FlatCap);
    const double base = baseOf(panel);
    const bool markers = series.points.size() <= 200;
    switch (series.style) {
    case PlotSeries::Style::Line:
    case PlotSeries::Style::Dots: {
        QPainterPath path;
        bool drawing = false;
        for (const QPointF& point : series.points) {
            if (!std::isfinite(point.y())) {
                drawing = false;
                continue;
            }
            const QPointF at = toPixel(panel, rect, point);
            drawing ? path.lineTo(at) : path.moveTo(at);
            drawing = true;
        }
        if (series.style == PlotSeries::Style::Dots) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(series.colour);
            for (const QPointF& point : series.points)
                painter.drawEllipse(toPixel(panel, rect, point), unit * 2.5, unit * 2.5);
            pen.setWidthF(unit);
        }
        if (series.dashed)
            pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
        break;
    }
    case PlotSeries::Style::Bars:
        pen.setWidthF(unit * 7);
        painter.setPen(pen);
        for (const QPointF& point : series.points)
            painter.drawLine(toPixel(panel, rect, {point.x(), base}), toPixel(panel, rect, point));
        break;
    case PlotSeries::Style::Stems:
        painter.setPen(pen);
        painter.setBrush(series.colour);
        for (const QPointF& point : series.points) {
            const QPointF top = toPixel(panel, rect, point);
            painter.drawLine(toPixel(panel, rect, {point.x(), base}), top);
            if (markers)
                painter.drawEllipse(top, unit * 2.5, unit * 2.5);
        }
        break;
    case PlotSeries::Style::Rings:
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        for (const QPointF& point : series.points)
            painter.drawEllipse(toPixel(panel, rect, point), unit * 4, unit * 4);
        break;
    }
}

void paintLegend(QPainter& painter, const PlotPanel& panel, const QRectF& rect, double unit)
{
    const QFontMetricsF metrics(painter.font());
    const double line = metrics.height();
    double width = 0;
    int rows = 0;
    for (const PlotSeries& series : panel.series)
        if (!series.name.isEmpty()) {
            width = std::max(width, metrics.horizontalAdvance(series.name));
            ++rows;
        }
    if (rows == 0)
        return;
    const double sample = line * 1.6;
    const QRectF box(rect.right() - width - sample - line * 1.2, rect.top() + line * 0.4,
                     width + sample + line * 0.8, line * rows + line * 0.4);
    painter.setPen(kFrame);
    painter.setBrush(QColor(255, 255, 255, 230));
    painter.drawRect(box);
    double y = box.top() + line * 0.2;
    for (const PlotSeries& series : panel.series) {
        if (series.name.isEmpty())
            continue;
        const double middle = y + line / 2;
        QPen pen(series.colour, series.style == PlotSeries::Style::Bars ? unit * 7 : unit * 1.5);
        pen.setCapStyle(Qt::FlatCap);
        if (series.dashed)
            pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const QPointF from(box.left() + line * 0.3, middle);
        const QPointF to(from.x() + sample - line * 0.4, middle);
        if (series.style == PlotSeries::Style::Rings)
            painter.drawEllipse((from + to) / 2, unit * 4, unit * 4);
        else
            painter.drawLine(from, to);
        if (series.style == PlotSeries::Style::Dots || series.style == PlotSeries::Style::Stems) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(series.colour);
            painter.drawEllipse((from + to) / 2, unit * 2.5, unit * 2.5);
        }
        painter.setPen(Qt::black);
        painter.drawText(QPointF(to.x() + line * 0.3, y + metrics.ascent()), series.name);
        y += line;
    }
}

void paintNotes(QPainter& painter, const PlotPanel& panel, const QRectF& rect)
{
    if (panel.notes.isEmpty())
        return;
    const QFontMetricsF metrics(painter.font());
    double width = 0;
    for (const QString& note : panel.notes)
        width = std::max(width, metrics.horizontalAdvance(note));
    const double line = metrics.height();
    const QRectF box(rect.left() + line * 0.4, rect.top() + line * 0.4, width + line * 0.6,
                     line * static_cast<double>(panel.notes.size()) + line * 0.2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 215));
    painter.drawRect(box);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    double y = box.top() + line * 0.1 + metrics.ascent();
    for (const QString& note : panel.notes) {
        painter.drawText(QPointF(box.left() + line * 0.3, y), note);
        y += line;
    }
}

// The point of any series nearest `at` in pixels, within `reach`: the series and the point.
std::optional<std::pair<const PlotSeries*, QPointF>>
nearestPoint(const PlotPanel& panel, const QRectF& rect, const QPointF& at, double reach)
{
    std::optional<std::pair<const PlotSeries*, QPointF>> best;
    double bestDistance = reach;
    for (const PlotSeries& series : panel.series)
        for (const QPointF& point : series.points) {
            if (!std::isfinite(point.y()))
                continue;
            const QPointF pixel = toPixel(panel, rect, point);
            const double distance = std::hypot(pixel.x() - at.x(), pixel.y() - at.y());
            if (distance < bestDistance) {
                bestDistance = distance;
                best = std::make_pair(&series, point);
            }
        }
    return best;
}

} // namespace

QString analysisViewName(AnalysisView view)
{
    for (const ViewNames& names : kViewNames)
        if (names.view == view)
            return QString::fromLatin1(names.name);
    return {};
}

std::optional<AnalysisView> analysisViewNamed(const QString& name)
{
    for (const ViewNames& names : kViewNames)
        if (name == QLatin1String(names.name))
            return names.view;
    return std::nullopt;
}

QString analysisViewTitle(AnalysisView view)
{
    for (const ViewNames& names : kViewNames)
        if (names.view == view)
            return tr(names.title);
    return {};
}

AnalysisPicture analysisPicture(AnalysisView view, const AnalysisDesign& design,
                                const ThroughChoice& through)
{
    AnalysisPicture picture{analysisViewTitle(view), design.samplingHz, {}};
    picture.title +=
        tr(" of %1 taps at fs = %2 Hz").arg(design.taps.size()).arg(number(design.samplingHz));
    switch (view) {
    case AnalysisView::Impulse:
        picture.panels.push_back(impulsePanel(design));
        break;
    case AnalysisView::Step:
        picture.panels.push_back(stepPanel(design));
        break;
    case AnalysisView::GroupDelay:
        picture.panels.push_back(groupDelayPanel(design));
        break;
    case AnalysisView::Zeros:
        picture.panels.push_back(zerosPanel(design));
        break;
    case AnalysisView::Through:
        picture.panels = throughPanels(design, through);
        break;
    }
    return picture;
}

void paintAnalysis(QPainter& painter, const QRectF& area, const AnalysisPicture& picture)
{
    painter.save();
    painter.fillRect(area, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFont font = plotFont(area);
    painter.setFont(font);
    const double unit = std::max(1.0, font.pixelSize() / 12.0);
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::black);
    painter.drawText(area.adjusted(0, font.pixelSize() * 0.5, 0, 0), Qt::AlignHCenter,
                     picture.title);
    painter.setFont(font);
    const std::vector<QRectF> rects = plotRects(picture, area);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const PlotPanel& panel = picture.panels[i];
        if (!(panel.range.width() > 0) || !(panel.range.height() > 0))
            continue;
        paintAxes(painter, panel, rects[i]);
        painter.save();
        painter.setClipRect(rects[i]);
        if (panel.unitCircle)
            paintUnitCircle(painter, panel, rects[i]);
        for (const PlotSeries& series : panel.series)
            paintSeries(painter, panel, rects[i], series, unit);
        painter.restore();
        paintNotes(painter, panel, rects[i]);
        paintLegend(painter, panel, rects[i], unit);
    }
    painter.restore();
}

QString analysisReadout(const AnalysisPicture& picture, const QRectF& area, const QPointF& at)
{
    const std::vector<QRectF> rects = plotRects(picture, area);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const PlotPanel& panel = picture.panels[i];
        if (!rects[i].contains(at) || !(panel.range.width() > 0) || !(panel.range.height() > 0))
            continue;
        const auto near = nearestPoint(panel, rects[i], at, plotFont(area).pixelSize() * 2.0);
        if (panel.readout == PlotPanel::Readout::Zero) {
            if (!near)
                return {};
            const std::complex<double> zero(near->second.x(), near->second.y());
            return tr("zero %1 %2 %3i: radius %4, angle %5 Hz")
                .arg(number(zero.real()),
                     zero.imag() < 0 ? QStringLiteral("-") : QStringLiteral("+"),
                     number(std::abs(zero.imag())), number(std::abs(zero)),
                     number(dsp::zeroAngleHz(zero, picture.samplingHz)));
        }
        const QPointF data = toData(panel, rects[i], at);
        QString text =
            tr("%1 %2, %3 %4").arg(panel.xLabel, number(data.x()), panel.yLabel, number(data.y()));
        if (near)
            text += tr("; %1 at %2: %3")
                        .arg(near->first->name, number(near->second.x()), number(near->second.y()));
        return text;
    }
    return {};
}

std::string analysisCsv(AnalysisView view, const AnalysisDesign& design,
                        const ThroughChoice& through)
{
    switch (view) {
    case AnalysisView::Impulse:
        return dsp::formatImpulseCsv(design.taps);
    case AnalysisView::Step:
        return dsp::formatStepCsv(dsp::stepResponse(design.taps));
    case AnalysisView::GroupDelay:
        return dsp::formatGroupDelayCsv(dsp::groupDelay(design.taps, design.samplingHz));
    case AnalysisView::Zeros:
        return dsp::formatZerosCsv(dsp::filterZeros(design.taps), design.samplingHz);
    case AnalysisView::Through:
        return dsp::formatThroughSamplesCsv(
            dsp::waveThroughFilter(design.taps, sampledWave(design, through)));
    }
    return {};
}

std::string throughSpectrumCsv(const AnalysisDesign& design, const ThroughChoice& through)
{
    return dsp::formatThroughHarmonicsCsv(
        dsp::waveThroughFilter(design.taps, sampledWave(design, through)));
}

} // namespace screens
