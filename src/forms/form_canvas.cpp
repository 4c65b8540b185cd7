// The canvas: the persistent image that the drawing calls draw into, in logical units.
#include "forms/form.h"

#include "forms/thin_line.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <limits>

namespace forms {
namespace {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// Qt's raster drawing returns with the upper halves of the vector registers in use. Until they are
// cleared, every scalar floating-point instruction of ours that follows pays a transition penalty
// (measured: the phase trace's arithmetic ran 15 times slower between its line segments).
__attribute__((target("avx"))) void clearUpperVectorHalves() { __builtin_ia32_vzeroupper(); }

void afterQtDrawing()
{
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx)
        clearUpperVectorHalves();
}
#else
void afterQtDrawing() { }
#endif

} // namespace

// The helpers of the drawing calls below are inline: each call of tens of thousands runs them.

void Form::setScaleHeight(double units) { m_scaleHeight = units; }

void Form::setScaleWidth(double units) { m_scaleWidth = units; }

// Drawing goes into the persistent image; the window shows it once the running handler is back
// in the event loop (or at once, with Refresh). Only the pixels that may have changed are
// painted again, so that a redraw of the plot does not repaint every control over the canvas.
void Form::canvasChanged(const QRect& pixels)
{
    ++m_canvasVersion;
    const QRect unshown = m_unshown | (pixels & QRect(QPoint(0, 0), m_pixels));
    if (m_repaintPending && unshown == m_unshown)
        return;
    m_unshown = unshown;
    m_repaintPending = true;
    m_client->update(clientRectOf(m_unshown));
}

// What differs from the background until the next Cls.
void Form::canvasDrawn(const QRect& pixels)
{
    m_drawnSinceCls |= pixels;
    canvasChanged(pixels);
}

// The client area that shows these pixels of the image: all of it where the window shows the
// drawing replayed at another size.
QRect Form::clientRectOf(const QRect& pixels) const
{
    const QSize shown(qRound(m_client->width() * m_deviceRatio),
                      qRound(m_client->height() * m_deviceRatio));
    if (shown != m_pixels || m_traceWidening != 1)
        return m_client->rect();
    const QRectF logical(pixels.x() / m_deviceRatio, pixels.y() / m_deviceRatio,
                         pixels.width() / m_deviceRatio, pixels.height() / m_deviceRatio);
    return logical.toAlignedRect();
}

namespace {

// The box of the pixels a run of drawing calls set.
struct PixelBounds {
    int left = std::numeric_limits<int>::max();
    int top = std::numeric_limits<int>::max();
    int right = std::numeric_limits<int>::min();
    int bottom = std::numeric_limits<int>::min();
    void add(const QPoint& pixel)
    {
        left = std::min(left, pixel.x());
        right = std::max(right, pixel.x());
        top = std::min(top, pixel.y());
        bottom = std::max(bottom, pixel.y());
    }
    // With `reach` pixels around each point (a pen's width covers it).
    QRect rect(int reach) const
    {
        if (left > right)
            return {};
        return QRect(QPoint(left, top), QPoint(right, bottom))
            .adjusted(-reach, -reach, reach, reach);
    }
};

} // namespace

// Worked out again only when the draw width or the scale changes, not for every call.
inline const Form::PenWidths& Form::penWidths() const
{
    PenWidths& pen = m_penWidths[static_cast<std::size_t>(m_drawWidth)];
    if (pen.drawWidth != m_drawWidth || pen.scaleWidth != m_scaleWidth) {
        pen.drawWidth = m_drawWidth;
        pen.scaleWidth = m_scaleWidth;
        pen.device =
            std::max(1, static_cast<int>(std::lround(m_drawWidth * m_deviceRatio * m_zoom)));
        pen.logical = pen.device / m_deviceRatio * m_scaleWidth / m_clientSize.width();
    }
    return pen;
}

inline bool Form::finite(double x, double y) const
{
    if (std::isfinite(x) && std::isfinite(y))
        return true;
    if (m_host)
        m_host->countNonFinite();
    return false;
}

// Coordinates are narrowed to single precision, as the drawing operations take them, and mapped
// to the pixel that contains them, the same way for drawing and for reading back.
inline QPoint Form::toDevice(double x, double y) const
{
    return QPoint(toPixel(x, m_pixels.width(), m_scaleWidth),
                  toPixel(y, m_pixels.height(), m_scaleHeight));
}

CanvasMapping Form::canvasMapping() const { return {m_pixels, m_scaleWidth, m_scaleHeight}; }

QPainter& Form::painter()
{
    if (!m_painter.isActive()) {
        m_painter.begin(&m_image);
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_activePen = QPen();
        m_painter.setPen(m_activePen);
    }
    return m_painter;
}

void Form::endPainting()
{
    if (m_painter.isActive())
        m_painter.end();
}

void Form::Cls()
{
    endPainting();
    // Only what was drawn since the last clearing differs from the background, unless the
    // background itself changes.
    const QRect cleared =
        m_backColor == m_clearedWith ? m_drawnSinceCls : QRect(QPoint(0, 0), m_pixels);
    m_image.fill(m_backColor);
    m_clearedWith = m_backColor;
    m_drawnSinceCls = QRect();
    m_record.clear(m_backColor);
    m_current = QPointF(0, 0);
    canvasChanged(cleared);
}

// The pen width as drawn, in logical units across, so a replay at any size draws it alike.
inline DrawingPen Form::pen(QRgb colour, const PenWidths& widths) const
{
    return {colour, widths.logical, m_scaleWidth, m_scaleHeight};
}

// Written straight into the image's pixels (`bits`, m_image's).
inline void Form::fillDot(uchar* bits, const QPoint& centre, QRgb colour, int width)
{
    const int first = -(width - 1) / 2;
    const int left = std::max(0, centre.x() + first);
    const int right = std::min(m_pixels.width(), centre.x() + first + width);
    const int top = std::max(0, centre.y() + first);
    const int bottom = std::min(m_pixels.height(), centre.y() + first + width);
    if (left >= right || top >= bottom)
        return;
    for (int row = top; row < bottom; ++row) {
        auto* line = reinterpret_cast<QRgb*>(bits + row * m_bytesPerLine);
        std::fill(line + left, line + right, colour);
    }
}

void Form::PSet(double x, double y) { pointIn(x, y, m_foreRgba); }

void Form::PSet(double x, double y, const QColor& colour) { pointIn(x, y, colour.rgba()); }

// Points are opaque whatever the colour's alpha.
void Form::pointIn(double x, double y, QRgb colour)
{
    if (!finite(x, y))
        return;
    m_current = QPointF(x, y);
    const QRgb opaque = colour | 0xff000000u;
    const PenWidths& widths = penWidths();
    m_record.addPoint(m_current, pen(opaque, widths));
    const QPoint pixel = toDevice(x, y);
    fillDot(m_image.bits(), pixel, opaque, widths.device);
    PixelBounds bounds;
    bounds.add(pixel);
    canvasDrawn(bounds.rect(widths.device));
}

// The loop of PSet calls, each pen's colour, widths and record number looked up once.
void Form::PSetInTurns(std::span<const QPointF> points, std::span<const DotPen> pens)
{
    dotsInTurns(points, pens, nullptr);
}

void Form::MappedDots::map(const CanvasMapping& onto, std::span<const QPointF> points)
{
    mapping = onto;
    pixels.resize(points.size());
    std::transform(points.begin(), points.end(), pixels.begin(), [&onto](const QPointF& at) {
        return std::isfinite(at.x()) && std::isfinite(at.y()) ? onto.toDevice(at.x(), at.y())
                                                              : kNotDrawn;
    });
}

void Form::PSetInTurns(std::span<const QPointF> points, std::span<const DotPen> pens,
                       const MappedDots& mapped)
{
    const bool current = mapped.mapping == canvasMapping() && mapped.pixels.size() == points.size();
    dotsInTurns(points, pens, current ? mapped.pixels.data() : nullptr);
}

// With `mapped`, each point's pixel (MappedDots), a turn of dots on the very pixels of the turn
// before it is recorded but not drawn again: the same writes in the same order a second time
// leave the image as they found it.
void Form::dotsInTurns(std::span<const QPointF> points, std::span<const DotPen> pens,
                       const QPoint* mapped)
{
    if (points.empty() || pens.empty())
        return;
    struct Ready {
        QRgb colour;
        int device;
        std::uint32_t recorded;
    };
    QVarLengthArray<Ready, 4> ready;
    for (const DotPen& dot : pens) {
        setDrawWidth(dot.drawWidth);
        const QRgb opaque = dot.colour.rgba() | 0xff000000u;
        const PenWidths& widths = penWidths();
        ready.append({opaque, widths.device, m_record.penNumber(pen(opaque, widths))});
    }
    uchar* const bits = m_image.bits();
    const std::size_t turns = ready.size();
    bool drawn = false;
    PixelBounds bounds;
    int widest = 1;
    for (std::size_t first = 0; first < points.size(); first += turns) {
        const std::size_t count = std::min(turns, points.size() - first);
        const bool repeated = mapped && first >= turns && count == turns
            && std::equal(mapped + first, mapped + first + turns, mapped + first - turns);
        for (std::size_t turn = 0; turn < count; ++turn) {
            const QPointF& at = points[first + turn];
            if (!finite(at.x(), at.y()))
                continue;
            const Ready& dot = ready[static_cast<qsizetype>(turn)];
            m_current = at;
            m_record.addPoint(at, dot.recorded);
            drawn = true;
            if (repeated)
                continue;
            const QPoint pixel = mapped ? mapped[first + turn] : toDevice(at.x(), at.y());
            fillDot(bits, pixel, dot.colour, dot.device);
            bounds.add(pixel);
            widest = std::max(widest, dot.device);
        }
    }
    const DotPen& last = pens[(points.size() - 1) % pens.size()];
    setForeColor(last.colour);
    setDrawWidth(last.drawWidth);
    if (drawn)
        canvasDrawn(bounds.rect(widest));
}

void Form::Line(double x1, double y1, double x2, double y2)
{
    m_current = QPointF(x1, y1);
    LineTo(x2, y2);
}

void Form::LineTo(double x2, double y2)
{
    if (!finite(m_current.x(), m_current.y()) || !finite(x2, y2))
        return;
    const QPoint from = lineStartPixel();
    const QPoint to = lineEndPixel(x2, y2);
    const QRgb opaque = m_foreRgba | 0xff000000u;
    const PenWidths& widths = penWidths();
    m_record.addLine(m_current, QPointF(x2, y2), pen(opaque, widths));
    m_current = QPointF(x2, y2);
    const int width = widths.device;
    PixelBounds bounds;
    bounds.add(from);
    bounds.add(to);
    canvasDrawn(bounds.rect(width));
    if (from == to)
        fillDot(m_image.bits(), to, opaque, width);
    else if (width == 1 && qAlpha(m_foreRgba) == 255)
        drawThinLine(m_image, from, to, opaque);
    else
        wideLine(from, to, width);
}

// The pixel of the current point, taken from the last line's end when the line goes on from it.
inline QPoint Form::lineStartPixel() const
{
    const MappedPoint& last = m_lastEnd;
    const bool joined = last.mapped && last.x == m_current.x() && last.y == m_current.y()
        && last.scaleWidth == m_scaleWidth && last.scaleHeight == m_scaleHeight;
    return joined ? last.pixel : toDevice(m_current.x(), m_current.y());
}

inline QPoint Form::lineEndPixel(double x2, double y2)
{
    const QPoint to = toDevice(x2, y2);
    m_lastEnd = MappedPoint{x2, y2, m_scaleWidth, m_scaleHeight, to, true};
    return to;
}

// The loop of LineTo calls, the pen and the image's pixels looked up once.
void Form::LineToEach(std::span<const QPointF> ends)
{
    const QRgb opaque = m_foreRgba | 0xff000000u;
    const PenWidths& widths = penWidths();
    if (ends.empty())
        return;
    if (widths.device != 1 || qAlpha(m_foreRgba) != 255) {
        for (const QPointF& end : ends)
            LineTo(end.x(), end.y());
        return;
    }
    const std::uint32_t recorded = m_record.penNumber(pen(opaque, widths));
    const ThinLineTarget target(m_image);
    bool drawn = false;
    PixelBounds bounds;
    for (const QPointF& end : ends) {
        if (!finite(m_current.x(), m_current.y()) || !finite(end.x(), end.y()))
            continue;
        const QPoint from = lineStartPixel();
        const QPoint to = lineEndPixel(end.x(), end.y());
        m_record.addLine(m_current, end, recorded);
        m_current = end;
        target.draw(from, to, opaque); // from == to: its one pixel, as a one-pixel dot
        bounds.add(from);
        bounds.add(to);
        drawn = true;
    }
    if (drawn)
        canvasDrawn(bounds.rect(1));
}

void Form::MappedPolyline::map(const CanvasMapping& onto, QPointF start,
                               std::span<const QPointF> ends)
{
    mapping = onto;
    from = start;
    mask.reset(onto.pixels);
    QPoint previous = onto.toDevice(start.x(), start.y());
    for (const QPointF& end : ends) {
        if (!std::isfinite(end.x()) || !std::isfinite(end.y()))
            continue;
        const QPoint to = onto.toDevice(end.x(), end.y());
        mask.draw(previous, to);
        previous = to;
    }
}

// The record and state of LineToEach, with the pixels laid from the mask worked out ahead: in one
// colour, the order the lines set their pixels in does not change the image.
void Form::LineToEach(std::span<const QPointF> ends, const MappedPolyline& mapped)
{
    if (ends.empty())
        return;
    const CanvasMapping mapping = canvasMapping();
    const bool current = mapped.mapping == mapping && mapped.from == m_current
        && mapped.mask.size() == m_image.size() && penWidths().device == 1
        && qAlpha(m_foreRgba) == 255
        && lineStartPixel() == mapping.toDevice(m_current.x(), m_current.y());
    if (!current) {
        LineToEach(ends);
        return;
    }
    const QRgb opaque = m_foreRgba | 0xff000000u;
    const std::uint32_t recorded = m_record.penNumber(pen(opaque, penWidths()));
    bool drawn = false;
    for (const QPointF& end : ends) {
        if (!finite(end.x(), end.y()))
            continue;
        m_record.addLine(m_current, end, recorded);
        m_current = end;
        drawn = true;
    }
    if (!drawn)
        return;
    lineEndPixel(m_current.x(), m_current.y());
    mapped.mask.layInto(m_image, opaque);
    canvasDrawn(mapped.mask.bounds());
}

// Wide pens (a graticule's frame, a spectrum's lines) are few: the painter draws them, round.
void Form::wideLine(const QPoint& from, const QPoint& to, int width)
{
    QPainter& p = painter();
    if (m_activePen.color() != m_foreColor || m_activePen.width() != width) {
        const Qt::PenCapStyle cap = width > 1 ? Qt::RoundCap : Qt::SquareCap;
        m_activePen = QPen(m_foreColor, width, Qt::SolidLine, cap, Qt::RoundJoin);
        p.setPen(m_activePen);
    }
    p.drawLine(from, to);
    afterQtDrawing();
}

QColor Form::Point(double x, double y)
{
    endPainting();
    if (!finite(x, y))
        return QColor();
    const QPoint at = toDevice(x, y);
    if (!m_image.rect().contains(at))
        return QColor();
    return QColor(m_image.pixel(at));
}

void Form::Refresh()
{
    endPainting();
    if (m_client->isVisible() && m_refreshDeferred == 0)
        m_client->repaint();
}

const QImage& Form::canvasImage()
{
    endPainting();
    return m_image;
}

} // namespace forms
