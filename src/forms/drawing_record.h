#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>

#include <cstdint>
#include <functional>
#include <utility>
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

// The pen a call was drawn with: colour, width in logical units across, and the logical scale.
struct DrawingPen {
    QRgb colour;
    double width;
    double scaleWidth;
    double scaleHeight;
    bool operator==(const DrawingPen&) const = default;
};

// The drawing calls since the last Cls, kept so that a drawing can be replayed on any painter:
// as vectors (SVG, PDF) or over another drawing. Cls empties it.
//
// A canvas records every call of tens of thousands, so a call costs one small entry: its point
// and the number of its pen, each pen kept once; a line that goes on from where the entry before
// it ended keeps only its end.
class DrawingRecord {
public:
    void clear(const QColor& background);
    void addPoint(const QPointF& at, const DrawingPen& pen) { addPoint(at, penNumber(pen)); }
    void addLine(const QPointF& from, const QPointF& to, const DrawingPen& pen)
    {
        addLine(from, to, penNumber(pen));
    }
    // The same with the pen's number (see penNumber), for a long trace that looks its pen up once.
    void addPoint(const QPointF& at, std::uint32_t pen)
    {
        m_entries.push(at.x(), at.y(), pen, Step::Point);
        ++m_calls;
    }
    void addLine(const QPointF& from, const QPointF& to, std::uint32_t pen);
    std::uint32_t penNumber(const DrawingPen& pen)
    {
        // Screens switch between two pens call by call (a red and a black trace, say).
        if (!m_pens.empty() && m_pens[m_lastPen] == pen)
            return m_lastPen;
        if (!m_pens.empty() && m_pens[m_previousPen] == pen) {
            std::swap(m_lastPen, m_previousPen);
            return m_lastPen;
        }
        return findPen(pen);
    }

    // Everything recorded so far is the background (a graticule, say); what follows is the trace.
    void markBase() { m_base = m_entries.size(); }
    // A record of the calls after the base mark alone.
    DrawingRecord trace() const;

    // The calls, in the order made.
    std::vector<DrawingOp> ops() const;
    std::size_t size() const { return m_calls; }
    bool empty() const { return m_entries.empty(); }
    QColor background() const { return m_background; }
    // Counts the clears, so that a reader can tell a new drawing from the one it saw.
    unsigned long clears() const { return m_clears; }

    struct ReplayOptions {
        bool fillBackground = true;
        std::function<QColor(const QColor&)> recolour; // none: the colours drawn
        double traceWidening = 1; // pens after the base mark drawn this many times wider
    };
    // Draws the calls into `target`, which stands for the whole canvas (the logical scale of each
    // call mapped onto it). Runs of joined lines of one pen become one polyline, and runs of
    // points of one pen one set of squares, so vector files stay small.
    void replay(QPainter& painter, const QRectF& target, const ReplayOptions& options) const;
    void replay(QPainter& painter, const QRectF& target) const { replay(painter, target, {}); }

private:
    // A point; where a line starts (the next entry ends it); where a line ends, having started
    // at the entry before.
    enum class Step : std::uint32_t { Point, LineStart, LineEnd };
    struct Entry {
        double x, y;
        std::uint32_t pen;
        Step step;
    };
    // Entries in blocks that stay where they are: growing copies nothing, and a cleared record
    // keeps its blocks, their memory already touched, for the next drawing.
    class Entries {
    public:
        void push(const Entry& entry) { push(entry.x, entry.y, entry.pen, entry.step); }
        // Field by field: an entry built whole on the stack first and copied costs a stall of
        // the store buffer on each of tens of thousands of calls.
        void push(double x, double y, std::uint32_t pen, Step step)
        {
            if (m_used == 0 || m_blocks[m_used - 1].size() == kBlock)
                nextBlock();
            Entry& entry = m_blocks[m_used - 1].emplace_back();
            entry.x = x;
            entry.y = y;
            entry.pen = pen;
            entry.step = step;
            ++m_size;
        }
        const Entry& back() const { return m_blocks[m_used - 1].back(); }
        std::size_t size() const { return m_size; }
        bool empty() const { return m_size == 0; }
        void clear();
        // Calls `visit(entry, before)` for each entry in order, `before` the one before it.
        template <typename Visit>
        void forEach(Visit visit) const
        {
            const Entry* before = nullptr;
            for (std::size_t b = 0; b < m_used; ++b)
                for (const Entry& entry : m_blocks[b]) {
                    visit(entry, before);
                    before = &entry;
                }
        }

    private:
        static constexpr std::size_t kBlock = 4096; // under the allocator's own-mapping size
        void nextBlock();
        std::vector<std::vector<Entry>> m_blocks;
        std::size_t m_used = 0;
        std::size_t m_size = 0;
    };
    std::uint32_t findPen(const DrawingPen& pen);
    template <typename Visit>
    void forEachCall(Visit visit) const;

    Entries m_entries;
    std::vector<DrawingPen> m_pens;
    std::uint32_t m_lastPen = 0;
    std::uint32_t m_previousPen = 0;
    std::size_t m_calls = 0;
    std::size_t m_base = 0;
    QColor m_background = Qt::white;
    unsigned long m_clears = 0;
};

} // namespace forms
