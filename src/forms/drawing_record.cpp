#include "forms/drawing_record.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace forms {
namespace {

// Far outside any canvas, yet small enough for every painter's arithmetic (as the canvas clamps).
constexpr double kLimit = 1.0e6;

double clamped(double value) { return std::clamp(value, -kLimit, kLimit); }

// Collects a run of calls drawn with one pen, and draws the run in one painter call.
class Run {
public:
    Run(QPainter& painter) : m_painter(painter) { }
    ~Run() { flush(); }

    void dot(const QPointF& centre, const QColor& colour, double width)
    {
        if (!m_line.isEmpty() || colour != m_colour || width != m_width)
            start(colour, width);
        m_dots.append(QRectF(centre.x() - width / 2, centre.y() - width / 2, width, width));
    }
    void line(const QPointF& from, const QPointF& to, const QColor& colour, double width)
    {
        const bool joined = !m_line.isEmpty() && m_line.back() == from;
        if (!joined || colour != m_colour || width != m_width) {
            start(colour, width);
            m_line.append(from);
        }
        m_line.append(to);
    }
    void flush()
    {
        if (!m_dots.isEmpty()) {
            m_painter.setPen(Qt::NoPen);
            m_painter.setBrush(m_colour);
            m_painter.drawRects(m_dots);
        }
        if (!m_line.isEmpty()) {
            // Wide pens end round, as the canvas draws them; one-pixel lines end square.
            const Qt::PenCapStyle cap = m_width > 1.5 ? Qt::RoundCap : Qt::SquareCap;
            m_painter.setPen(QPen(m_colour, m_width, Qt::SolidLine, cap, Qt::RoundJoin));
            m_painter.setBrush(Qt::NoBrush);
            m_painter.drawPolyline(m_line);
        }
        m_dots.clear();
        m_line.clear();
    }

private:
    void start(const QColor& colour, double width)
    {
        flush();
        m_colour = colour;
        m_width = width;
    }

    QPainter& m_painter;
    QColor m_colour;
    double m_width = 0;
    QList<QRectF> m_dots;
    QPolygonF m_line;
};

} // namespace

void DrawingRecord::clear(const QColor& background)
{
    m_ops.clear();
    m_base = 0;
    m_background = background;
    ++m_clears;
}

DrawingRecord DrawingRecord::trace() const
{
    DrawingRecord copy;
    copy.m_background = m_background;
    copy.m_clears = m_clears;
    const auto base = static_cast<std::ptrdiff_t>(std::min(m_base, m_ops.size()));
    copy.m_ops.assign(m_ops.begin() + base, m_ops.end());
    return copy;
}

void DrawingRecord::replay(QPainter& painter, const QRectF& target,
                           const ReplayOptions& options) const
{
    if (options.fillBackground)
        painter.fillRect(target, m_background);
    Run run(painter);
    for (const DrawingOp& op : m_ops) {
        const double sx = target.width() / op.scaleWidth;
        const double sy = target.height() / op.scaleHeight;
        const auto map = [&](const QPointF& p) {
            return QPointF(clamped(target.left() + p.x() * sx), clamped(target.top() + p.y() * sy));
        };
        const QColor drawn(op.colour);
        const QColor colour = options.recolour ? options.recolour(drawn) : drawn;
        const double width = std::abs(op.width * sx);
        if (op.kind == DrawingOp::Kind::Point || op.from == op.to)
            run.dot(map(op.from), colour, width);
        else
            run.line(map(op.from), map(op.to), colour, width);
    }
}

} // namespace forms
