// Qt offers no call that draws one line into an image without a painter, and a painter costs
// more per short line than the line itself (a phase trace draws tens of thousands of them). This
// steps along the line in the same fixed-point arithmetic as Qt's cosmetic stroker (26.6 ends,
// 16.16 steps, half-pixel square caps, clipped to one pixel around the image first), so the
// pixels are the same; tests/gui compare the two line by line.
#include "forms/thin_line.h"

#include <QImage>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace forms {
namespace {

struct Ends {
    double x1, y1, x2, y2;
};

// Cuts the line to the box one pixel around the image, in floating point as the stroker does;
// false when nothing of it is left.
bool clipToBox(Ends& e, double xmin, double xmax, double ymin, double ymax)
{
    if (e.x1 < xmin) {
        if (e.x2 <= xmin)
            return false;
        e.y1 += (e.y2 - e.y1) / (e.x2 - e.x1) * (xmin - e.x1);
        e.x1 = xmin;
    } else if (e.x1 > xmax) {
        if (e.x2 >= xmax)
            return false;
        e.y1 += (e.y2 - e.y1) / (e.x2 - e.x1) * (xmax - e.x1);
        e.x1 = xmax;
    }
    if (e.x2 < xmin) {
        e.y2 += (e.y2 - e.y1) / (e.x2 - e.x1) * (xmin - e.x2);
        e.x2 = xmin;
    } else if (e.x2 > xmax) {
        e.y2 += (e.y2 - e.y1) / (e.x2 - e.x1) * (xmax - e.x2);
        e.x2 = xmax;
    }
    if (e.y1 < ymin) {
        if (e.y2 <= ymin)
            return false;
        e.x1 += (e.x2 - e.x1) / (e.y2 - e.y1) * (ymin - e.y1);
        e.y1 = ymin;
    } else if (e.y1 > ymax) {
        if (e.y2 >= ymax)
            return false;
        e.x1 += (e.x2 - e.x1) / (e.y2 - e.y1) * (ymax - e.y1);
        e.y1 = ymax;
    }
    if (e.y2 < ymin) {
        e.x2 += (e.x2 - e.x1) / (e.y2 - e.y1) * (ymin - e.y2);
        e.y2 = ymin;
    } else if (e.y2 > ymax) {
        e.x2 += (e.x2 - e.x1) / (e.y2 - e.y1) * (ymax - e.y2);
        e.y2 = ymax;
    }
    return true;
}

int toFixed26Dot6(double value) { return static_cast<int>(value * 64.); }

int fixedDivide16Dot16(int x, int y)
{
    if (std::abs(x) > 0x7fff)
        return static_cast<int>((static_cast<std::int64_t>(x) << 16) / y);
    return (x << 16) / y;
}

// Steps one pixel at a time along the major axis from `a1` to `a2` (26.6), the minor axis from
// `b1` moving `binc` (16.16) per step; `plot(major, minor)` sets a pixel.
template <typename Plot>
void stepAlong(int a1, int b1, int a2, int b2, Plot plot)
{
    if (a1 > a2) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    const int binc = fixedDivide16Dot16(b2 - b1, a2 - a1);
    int b = b1 * 1024;
    // Square caps: half a pixel past each end.
    a1 -= 32;
    b -= binc >> 1;
    a2 += 32;
    int a = (a1 + 32) >> 6;
    const int last = (a2 + 32) >> 6;
    if (a == last)
        return;
    const int round = binc > 0 ? 32 : 0;
    b += (((a * 64) + round - a1) * binc) >> 6;
    do {
        plot(a, b >> 16);
        b += binc;
    } while (++a < last);
}

// The pixels of a one-pixel line from `from` to `to` on a `width` by `height` canvas: `set(x, y)`
// for each, inside the canvas.
template <typename Set>
void rasterise(QPoint from, QPoint to, int width, int height, Set set)
{
    // Most lines of a dense trace lie along one row or column of the image, or are one pixel:
    // their pixels are those from end to end, as the stepping below finds them.
    const auto inImage = [&](QPoint p) {
        return unsigned(p.x()) < unsigned(width) && unsigned(p.y()) < unsigned(height);
    };
    if (inImage(from) && inImage(to)) {
        if (from.x() == to.x()) {
            const int bottom = std::max(from.y(), to.y());
            for (int y = std::min(from.y(), to.y()); y <= bottom; ++y)
                set(from.x(), y);
            return;
        }
        if (from.y() == to.y()) {
            const int right = std::max(from.x(), to.x());
            for (int x = std::min(from.x(), to.x()); x <= right; ++x)
                set(x, from.y());
            return;
        }
    }
    Ends e{double(from.x()), double(from.y()), double(to.x()), double(to.y())};
    if (!clipToBox(e, -1, width + 1, -1, height + 1))
        return;
    const int x1 = toFixed26Dot6(e.x1);
    const int y1 = toFixed26Dot6(e.y1);
    const int x2 = toFixed26Dot6(e.x2);
    const int y2 = toFixed26Dot6(e.y2);
    const int dx = std::abs(x2 - x1);
    const int dy = std::abs(y2 - y1);
    const auto inside = [&](int x, int y) {
        if (unsigned(x) < unsigned(width) && unsigned(y) < unsigned(height))
            set(x, y);
    };
    if (dx < dy)
        stepAlong(y1, x1, y2, x2, [&](int y, int x) { inside(x, y); });
    else if (dx != 0)
        stepAlong(x1, y1, x2, y2, inside);
    else
        inside(from.x(), from.y()); // a zero-length line is its one pixel
}

} // namespace

void drawThinLine(QImage& image, QPoint from, QPoint to, QRgb colour)
{
    ThinLineTarget(image).draw(from, to, colour);
}

ThinLineTarget::ThinLineTarget(QImage& image)
    : m_pixels(reinterpret_cast<QRgb*>(image.bits())),
      m_perLine(image.bytesPerLine() / qsizetype(sizeof(QRgb))), m_width(image.width()),
      m_height(image.height())
{
}

void ThinLineTarget::draw(QPoint from, QPoint to, QRgb colour) const
{
    QRgb* const pixels = m_pixels;
    const qsizetype perLine = m_perLine;
    rasterise(from, to, m_width, m_height, [&](int x, int y) { pixels[y * perLine + x] = colour; });
}

ThinLineMask::ThinLineMask(QSize size) { reset(size); }

void ThinLineMask::reset(QSize size)
{
    m_size = size;
    const auto count = static_cast<std::size_t>(std::max(0, size.width()))
        * static_cast<std::size_t>(std::max(0, size.height()));
    m_seen.assign((count + 63) / 64, 0);
    m_offsets.clear();
    m_left = size.width();
    m_top = size.height();
    m_right = -1;
    m_bottom = -1;
}

QRect ThinLineMask::bounds() const
{
    if (m_right < m_left)
        return {};
    return QRect(QPoint(m_left, m_top), QPoint(m_right, m_bottom));
}

void ThinLineMask::draw(QPoint from, QPoint to)
{
    const int width = m_size.width();
    rasterise(from, to, width, m_size.height(), [this, width](int x, int y) {
        const auto at = static_cast<std::uint32_t>(y * width + x);
        std::uint64_t& word = m_seen[at / 64];
        const std::uint64_t bit = std::uint64_t(1) << (at % 64);
        if (!(word & bit)) {
            word |= bit;
            m_offsets.push_back(at);
            m_left = std::min(m_left, x);
            m_right = std::max(m_right, x);
            m_top = std::min(m_top, y);
            m_bottom = std::max(m_bottom, y);
        }
    });
}

void ThinLineMask::layInto(QImage& image, QRgb colour) const
{
    const int width = m_size.width();
    const qsizetype perLine = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    auto* const pixels = reinterpret_cast<QRgb*>(image.bits());
    if (perLine == width) {
        for (const std::uint32_t at : m_offsets)
            pixels[at] = colour;
        return;
    }
    for (const std::uint32_t at : m_offsets)
        pixels[qsizetype(at / unsigned(width)) * perLine + at % unsigned(width)] = colour;
}

} // namespace forms
