#include "screens/plot_axes.h"

#include "dsp/axis_ticks.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>

namespace screens {
namespace {

// Device pixels (at the layout's font size of 10) of a tick mark, of the gap between a label
// and what it stands beside, and of the least room between two labels.
constexpr double kMark = 5;
constexpr double kGap = 2;
constexpr double kApart = 6;
// The closest two values may stand, in device pixels, before their widths are known: across,
// this; down, this many times a line of text, so a column does not crowd the plot.
constexpr double kClosest = 12;
constexpr double kClosestLines = 3.5;
// A label's pale box, so it reads over the grid and the traces.
const QColor kBox(255, 255, 255, 215);

bool horizontal(const Axis& axis) { return axis.side == Axis::Side::Below; }

// Where a value lands on the device, across (below) or down (beside).
double deviceAt(const Axis& axis, double value, const QTransform& toDevice)
{
    const double logical = axis.toLogical(value);
    return horizontal(axis) ? toDevice.map(QPointF(logical, 0)).x()
                            : toDevice.map(QPointF(0, logical)).y();
}

// Plain decimals, except for steps so large or so small that they would run to many digits.
QString valueText(double value, double step, const QString& unit)
{
    constexpr double kLargest = 1e6;
    constexpr double kSmallest = 1e-4;
    const bool exponent = step >= kLargest || step < kSmallest;
    QString text = exponent ? QString::number(value, 'g', 6)
                            : QString::number(value, 'f', dsp::decimalsForStep(step));
    if (text.startsWith(QLatin1Char('-')) && text.count(QLatin1Char('0')) + 2 > text.size())
        text.remove(0, 1); // "-0" and "-0.0"
    return text.replace(QLatin1Char('-'), QChar(0x2212)) + unit;
}

// The device rectangle the plot stands in, and the layout's size unit (10 px fonts count 1).
struct Frame {
    QRectF plot;
    double unit;
};

Frame frameOf(const PlotAxes& axes, const AxisLayout& layout)
{
    return {layout.toDevice.mapRect(axes.plot), QFontMetricsF(layout.font).height() / 12.0};
}

bool overlaps(const QRectF& box, const std::vector<QRectF>& boxes, double apart = 0)
{
    const QRectF grown = box.adjusted(-apart / 2, -apart / 2, apart / 2, apart / 2);
    return std::any_of(boxes.begin(), boxes.end(),
                       [&](const QRectF& other) { return grown.intersects(other); });
}

// The values that can carry a tick at this step.
std::vector<double> valuesAt(const Axis& axis, double step)
{
    if (axis.only.empty())
        return dsp::ticksBetween(axis.from, axis.to, step);
    std::vector<double> values;
    for (double value : axis.only) {
        const double steps = value / step;
        if (std::abs(steps - std::round(steps)) < 1e-9)
            values.push_back(value);
    }
    return values;
}

// One side's column or row of values: where each box goes for the line it stands beside.
class AxisLayOut {
public:
    AxisLayOut(const Axis& axis, const AxisLayout& layout, const Frame& frame, double column)
        : m_axis(axis), m_layout(layout), m_frame(frame), m_metrics(layout.font), m_column(column)
    {
    }

    // The values at the smallest nice step whose labels stand apart.
    std::vector<AxisLabel> values() const
    {
        const double span = std::abs(deviceAt(m_axis, m_axis.to, m_layout.toDevice)
                                     - deviceAt(m_axis, m_axis.from, m_layout.toDevice));
        const double range = std::abs(m_axis.to - m_axis.from);
        const double closest =
            horizontal(m_axis) ? kClosest * m_frame.unit : kClosestLines * m_metrics.height();
        double step = range > 0 && span > 0 ? dsp::niceStepAtLeast(closest * range / span) : 1;
        if (!m_axis.only.empty())
            step = std::max(step, 1.0);
        for (int tries = 0; tries < 40; ++tries, step = dsp::nextNiceStep(step)) {
            std::vector<AxisLabel> labels = at(step);
            if (standApart(labels))
                return labels;
        }
        return {};
    }

    // The widest value's width: the next column stands beyond it.
    static double widthOf(const std::vector<AxisLabel>& labels)
    {
        double widest = 0;
        for (const AxisLabel& label : labels)
            widest = std::max(widest, label.box.width());
        return widest;
    }

private:
    std::vector<AxisLabel> at(double step) const
    {
        std::vector<AxisLabel> labels;
        for (double value : valuesAt(m_axis, step)) {
            const double at = deviceAt(m_axis, value, m_layout.toDevice);
            if (!std::isfinite(at) || !withinPlot(at))
                continue;
            const QString text = valueText(value, step, m_axis.unit);
            labels.push_back({text, boxAt(at, text), m_axis.colour, value, false, markAt(at)});
        }
        return labels;
    }

    bool withinPlot(double at) const
    {
        const double slack = 0.5;
        return horizontal(m_axis)
            ? at >= m_frame.plot.left() - slack && at <= m_frame.plot.right() + slack
            : at >= m_frame.plot.top() - slack && at <= m_frame.plot.bottom() + slack;
    }

    QSizeF sizeOf(const QString& text) const
    {
        const double pad = 2 * m_frame.unit;
        return {m_metrics.horizontalAdvance(text) + 2 * pad, m_metrics.height()};
    }

    QRectF boxAt(double at, const QString& text) const
    {
        const QSizeF size = sizeOf(text);
        const double gap = kGap * m_frame.unit;
        switch (m_axis.side) {
        case Axis::Side::Below: {
            const double top = m_layout.inWindow
                ? m_layout.toDevice.map(QPointF(0, m_axis.along)).y() + gap
                : m_frame.plot.bottom() + (kMark + gap) * m_frame.unit;
            return {QPointF(at - size.width() / 2, top), size};
        }
        case Axis::Side::Left: {
            // m_column: the inner edge of this column (its left in a window, its right on a slide).
            const double left = m_layout.inWindow ? m_column : m_column - size.width();
            return {QPointF(left, at - size.height() / 2), size};
        }
        case Axis::Side::Right: {
            // Inside the frame's right edge in a window, beyond it on a slide.
            const double left = m_layout.inWindow ? m_column - size.width() : m_column;
            return {QPointF(left, at - size.height() / 2), size};
        }
        }
        return {};
    }

    QLineF markAt(double at) const
    {
        const double mark = kMark * m_frame.unit;
        const QRectF& plot = m_frame.plot;
        switch (m_axis.side) {
        case Axis::Side::Below:
            return {at, plot.bottom(), at, plot.bottom() - mark};
        case Axis::Side::Left:
            return {plot.left(), at, plot.left() + mark, at};
        case Axis::Side::Right:
            return {plot.right() - mark, at, plot.right(), at};
        }
        return {};
    }

    bool standApart(const std::vector<AxisLabel>& labels) const
    {
        const double apart = kApart * m_frame.unit;
        for (std::size_t i = 1; i < labels.size(); ++i) {
            const QRectF& a = labels[i - 1].box;
            const QRectF& b = labels[i].box;
            // Across, a gap as wide as a label keeps a row of numbers from reading as one.
            const bool clear = horizontal(m_axis)
                ? b.left() - a.right() >= std::max(apart, std::min(a.width(), b.width()))
                : std::max(a.top(), b.top()) - std::min(a.bottom(), b.bottom()) >= apart / 3;
            if (!clear)
                return false;
        }
        return true;
    }

    const Axis& m_axis;
    const AxisLayout& m_layout;
    const Frame& m_frame;
    QFontMetricsF m_metrics;
    double m_column;
};

// The title of an axis: after the last value below the plot; over its column beside it (inside
// the frame's top in a window, above the plot on a slide).
std::optional<AxisLabel> titleOf(const Axis& axis, const std::vector<AxisLabel>& values,
                                 const AxisLayout& layout, const Frame& frame, double column,
                                 double& titleRowRight)
{
    if (axis.title.isEmpty())
        return std::nullopt;
    const QFontMetricsF metrics(layout.font);
    const double pad = 2 * frame.unit;
    const QSizeF size(metrics.horizontalAdvance(axis.title) + 2 * pad, metrics.height());
    QPointF at;
    if (horizontal(axis)) {
        if (values.empty())
            return std::nullopt;
        const QRectF& last = values.back().box;
        at = QPointF(last.right() + kApart * frame.unit / 2, last.top());
    } else if (layout.inWindow) {
        at = QPointF(std::max(column, titleRowRight), frame.plot.top() + kGap * frame.unit);
        titleRowRight = at.x() + size.width() + kApart * frame.unit;
    } else {
        const double left = axis.side == Axis::Side::Left ? frame.plot.left() : column;
        at = QPointF(std::max(left, titleRowRight),
                     frame.plot.top() - size.height() - (kMark + kGap) * frame.unit);
        titleRowRight = at.x() + size.width() + kApart * frame.unit;
    }
    return AxisLabel{axis.title, QRectF(at, size), axis.colour, 0, true, {}};
}

} // namespace

std::pair<double, double> valuesSpanned(const std::function<double(double)>& toLogical,
                                        double first, double last)
{
    const double atZero = toLogical(0);
    const double perValue = toLogical(1) - atZero;
    const double a = (first - atZero) / perValue;
    const double b = (last - atZero) / perValue;
    return {std::min(a, b), std::max(a, b)};
}

std::vector<AxisLabel> layOutAxes(const PlotAxes& axes, const AxisLayout& layout)
{
    const Frame frame = frameOf(axes, layout);
    const double gap = (kMark + kGap) * frame.unit;
    // Each side's next column: left columns go inwards in a window and outwards on a slide.
    double leftColumn = layout.inWindow ? frame.plot.left() + gap : frame.plot.left() - gap;
    double rightColumn = layout.inWindow ? frame.plot.right() - gap : frame.plot.right() + gap;
    double titleRowRight = -1e9;
    std::vector<AxisLabel> titles;
    std::vector<AxisLabel> values;
    for (const Axis& axis : axes.axes) {
        double column = 0;
        if (axis.side == Axis::Side::Left)
            column = leftColumn;
        else if (axis.side == Axis::Side::Right)
            column = rightColumn;
        const std::vector<AxisLabel> own = AxisLayOut(axis, layout, frame, column).values();
        const double width = AxisLayOut::widthOf(own) + kApart * frame.unit / 2;
        if (axis.side == Axis::Side::Left)
            leftColumn += layout.inWindow ? width : -width;
        else if (axis.side == Axis::Side::Right)
            rightColumn += layout.inWindow ? -width : width;
        if (auto title = titleOf(axis, own, layout, frame, column, titleRowRight))
            titles.push_back(*title);
        values.insert(values.end(), own.begin(), own.end());
    }
    // Whole labels only: none under a control, none over a title, none over another axis's.
    std::vector<QRectF> taken = layout.taken;
    std::vector<AxisLabel> shown;
    for (const AxisLabel& title : titles)
        if (!overlaps(title.box, taken)) {
            taken.push_back(title.box);
            shown.push_back(title);
        }
    for (const AxisLabel& value : values)
        if (!overlaps(value.box, taken)) {
            taken.push_back(value.box);
            shown.push_back(value);
        }
    return shown;
}

void paintAxes(QPainter& painter, const PlotAxes& axes, const AxisLayout& layout)
{
    const std::vector<AxisLabel> labels = layOutAxes(axes, layout);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(layout.font);
    const double unit = QFontMetricsF(layout.font).height() / 12.0;
    for (const AxisLabel& label : labels) {
        if (!label.isTitle) {
            painter.setPen(QPen(label.colour, std::max(1.0, unit)));
            painter.drawLine(label.mark);
        }
        painter.fillRect(label.box, kBox);
        painter.setPen(label.colour);
        painter.drawText(label.box, Qt::AlignCenter, label.text);
    }
    painter.restore();
}

} // namespace screens
