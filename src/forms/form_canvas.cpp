// The canvas: the persistent image that the drawing calls draw into, in logical units.
#include "forms/form.h"

#include "forms/thin_line.h"

#include <algorithm>
#include <cmath>

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

// Far outside any canvas, yet small enough for the painter's integer arithmetic.
constexpr double kDeviceLimit = 1.0e6;

// A logical coordinate narrowed to single precision and mapped onto `pixels` pixels across
// `units` units: the pixel that contains it. Where units and pixels are alike the mapping is the
// coordinate itself (the division would give it back exactly), and costs no division.
int toPixel(double units, int pixels, double across)
{
    const double narrowed = static_cast<float>(units);
    const double at = std::clamp(across == pixels ? narrowed : narrowed * pixels / across,
                                 -kDeviceLimit, kDeviceLimit);
    const int truncated = static_cast<int>(at); // towards zero: one less below zero, as floor
    return at < truncated ? truncated - 1 : truncated;
}

} // namespace

// The helpers of the drawing calls below are inline: each call of tens of thousands runs them.

void Form::setScaleHeight(double units) { m_scaleHeight = units; }

void Form::setScaleWidth(double units) { m_scaleWidth = units; }

// Drawing goes into the persistent image; the window shows it once the running handler is back
// in the event loop (or at once, with Refresh).
void Form::canvasChanged()
{
    ++m_canvasVersion;
    if (m_repaintPending)
        return;
    m_repaintPending = true;
    m_client->update();
}

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
    m_image.fill(m_backColor);
    m_record.clear(m_backColor);
    m_current = QPointF(0, 0);
    canvasChanged();
}

// The pen width as drawn, in logical units across, so a replay at any size draws it alike.
inline DrawingPen Form::pen(QRgb colour, const PenWidths& widths) const
{
    return {colour, widths.logical, m_scaleWidth, m_scaleHeight};
}

// Written straight into the image's pixels.
inline void Form::fillDot(const QPoint& centre, QRgb colour, int width)
{
    const int first = -(width - 1) / 2;
    const int left = std::max(0, centre.x() + first);
    const int right = std::min(m_pixels.width(), centre.x() + first + width);
    const int top = std::max(0, centre.y() + first);
    const int bottom = std::min(m_pixels.height(), centre.y() + first + width);
    if (left >= right || top >= bottom)
        return;
    uchar* bits = m_image.bits();
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
    fillDot(toDevice(x, y), opaque, widths.device);
    canvasChanged();
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
    const MappedPoint start{m_current.x(), m_current.y(), m_scaleWidth, m_scaleHeight, {}};
    const bool joined = m_lastEnd && m_lastEnd->x == start.x && m_lastEnd->y == start.y
        && m_lastEnd->scaleWidth == start.scaleWidth && m_lastEnd->scaleHeight == start.scaleHeight;
    const QPoint from = joined ? m_lastEnd->pixel : toDevice(start.x, start.y);
    const QPoint to = toDevice(x2, y2);
    m_lastEnd = MappedPoint{x2, y2, m_scaleWidth, m_scaleHeight, to};
    const QRgb opaque = m_foreRgba | 0xff000000u;
    const PenWidths& widths = penWidths();
    m_record.addLine(m_current, QPointF(x2, y2), pen(opaque, widths));
    m_current = QPointF(x2, y2);
    canvasChanged();
    const int width = widths.device;
    if (from == to)
        fillDot(to, opaque, width);
    else if (width == 1 && qAlpha(m_foreRgba) == 255)
        drawThinLine(m_image, from, to, opaque);
    else
        wideLine(from, to, width);
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
