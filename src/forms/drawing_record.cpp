#include "forms/drawing_record.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <bit>
#include <cmath>

namespace forms {
namespace {

// Far outside any canvas, yet small enough for every painter's arithmetic (as the canvas clamps).
constexpr double kLimit = 1.0e6;

double clamped(double value) { return std::clamp(value, -kLimit, kLimit); }

// Exactly the same number, so that a joined line's start read back is the one it was given.
bool same(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Pens are few (a palette's colours at a width or two); a screen switches among the last ones.
constexpr std::size_t kPensSearched = 16;

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
    m_entries.clear();
    m_pens.clear();
    m_lastPen = 0;
    m_previousPen = 0;
    m_calls = 0;
    m_base = 0;
    m_background = background;
    ++m_clears;
}

std::uint32_t DrawingRecord::findPen(const DrawingPen& pen)
{
    m_previousPen = m_lastPen;
    const std::size_t searched = std::min(m_pens.size(), kPensSearched);
    for (std::size_t i = m_pens.size(); i > m_pens.size() - searched; --i)
        if (m_pens[i - 1] == pen)
            return m_lastPen = static_cast<std::uint32_t>(i - 1);
    m_pens.push_back(pen);
    return m_lastPen = static_cast<std::uint32_t>(m_pens.size() - 1);
}

void DrawingRecord::Entries::clear()
{
    for (std::size_t b = 0; b < m_used; ++b)
        m_blocks[b].clear();
    m_used = 0;
    m_size = 0;
}

void DrawingRecord::Entries::nextBlock()
{
    if (m_used == m_blocks.size())
        m_blocks.emplace_back();
    m_blocks[m_used++].reserve(kBlock);
}

void DrawingRecord::addLine(const QPointF& from, const QPointF& to, std::uint32_t number)
{
    const bool joined = !m_entries.empty() && same(m_entries.back().x, from.x())
        && same(m_entries.back().y, from.y());
    if (!joined)
        m_entries.push(from.x(), from.y(), number, Step::LineStart);
    m_entries.push(to.x(), to.y(), number, Step::LineEnd);
    ++m_calls;
}

// Calls `visit(op, traced)` for each call recorded, in order; `traced`: made after the base mark.
template <typename Visit>
void DrawingRecord::forEachCall(Visit visit) const
{
    std::size_t index = 0;
    m_entries.forEach([&](const Entry& entry, const Entry* before) {
        const bool traced = index++ >= m_base;
        if (entry.step == Step::LineStart)
            return;
        const DrawingPen& pen = m_pens[entry.pen];
        const QPointF at(entry.x, entry.y);
        const bool point = entry.step == Step::Point;
        const QPointF from = point ? at : QPointF(before->x, before->y);
        visit(DrawingOp{point ? DrawingOp::Kind::Point : DrawingOp::Kind::Line, from, at,
                        pen.colour, pen.width, pen.scaleWidth, pen.scaleHeight},
              traced);
    });
}

std::vector<DrawingOp> DrawingRecord::ops() const
{
    std::vector<DrawingOp> ops;
    ops.reserve(m_calls);
    forEachCall([&ops](const DrawingOp& op, bool) { ops.push_back(op); });
    return ops;
}

// A line that goes on from the entry before the base gets its start back.
DrawingRecord DrawingRecord::trace() const
{
    DrawingRecord copy;
    copy.m_background = m_background;
    copy.m_clears = m_clears;
    copy.m_pens = m_pens;
    std::size_t index = 0;
    m_entries.forEach([&](const Entry& entry, const Entry* before) {
        if (index++ < m_base)
            return;
        if (copy.m_entries.empty() && entry.step == Step::LineEnd)
            copy.m_entries.push({before->x, before->y, entry.pen, Step::LineStart});
        copy.m_entries.push(entry);
        copy.m_calls += entry.step != Step::LineStart;
    });
    return copy;
}

void DrawingRecord::replay(QPainter& painter, const QRectF& target,
                           const ReplayOptions& options) const
{
    if (options.fillBackground)
        painter.fillRect(target, m_background);
    Run run(painter);
    forEachCall([&](const DrawingOp& op, bool traced) {
        const double sx = target.width() / op.scaleWidth;
        const double sy = target.height() / op.scaleHeight;
        const auto map = [&](const QPointF& p) {
            return QPointF(clamped(target.left() + p.x() * sx), clamped(target.top() + p.y() * sy));
        };
        const QColor drawn(op.colour);
        const QColor colour = options.recolour ? options.recolour(drawn) : drawn;
        const double width = std::abs(op.width * sx) * (traced ? options.traceWidening : 1);
        if (op.kind == DrawingOp::Kind::Point || op.from == op.to)
            run.dot(map(op.from), colour, width);
        else
            run.line(map(op.from), map(op.to), colour, width);
    });
}

} // namespace forms
