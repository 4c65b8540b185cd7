#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>

#include <functional>
#include <vector>

class QPainter;

namespace forms {

// One drawing call as a canvas received it, in the logical units of the scale then in force.
struct DrawingOp {
    enum class Kind { Point, Line };
    Kind kind;
    QPointF from;
    QPointF to; // a point: the same as from
    QRgb colour;
    double width; // pen width in logical units across
    double scaleWidth;
    double scaleHeight;
};

// The drawing calls since the last Cls, kept so that a drawing can be replayed on any painter:
// as vectors (SVG, PDF) or over another drawing. Cls empties it.
class DrawingRecord {
public:
    void clear(const QColor& background);
    void add(const DrawingOp& op) { m_ops.push_back(op); }

    // Everything recorded so far is the background (a graticule, say); what follows is the trace.
    void markBase() { m_base = m_ops.size(); }
    // A record of the calls after the base mark alone.
    DrawingRecord trace() const;

    const std::vector<DrawingOp>& ops() const { return m_ops; }
    bool empty() const { return m_ops.empty(); }
    QColor background() const { return m_background; }
    // Counts the clears, so that a reader can tell a new drawing from the one it saw.
    unsigned long clears() const { return m_clears; }

    struct ReplayOptions {
        bool fillBackground = true;
        std::function<QColor(const QColor&)> recolour; // none: the colours drawn
    };
    // Draws the calls into `target`, which stands for the whole canvas (the logical scale of each
    // call mapped onto it). Runs of joined lines of one pen become one polyline, and runs of
    // points of one pen one set of squares, so vector files stay small.
    void replay(QPainter& painter, const QRectF& target, const ReplayOptions& options) const;
    void replay(QPainter& painter, const QRectF& target) const { replay(painter, target, {}); }

private:
    std::vector<DrawingOp> m_ops;
    std::size_t m_base = 0;
    QColor m_background = Qt::white;
    unsigned long m_clears = 0;
};

} // namespace forms
