#pragma once

#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QtGlobal>

#include <cstdint>
#include <vector>

class QImage;

namespace forms {

// A one-pixel line between two pixel centres, written straight into an RGB32 or ARGB32 image in
// an opaque colour: the very pixels that QPainter's raster engine sets for an unantialiased,
// solid, square-capped one-pixel pen (its cosmetic stroker), clipped to the image.
void drawThinLine(QImage& image, QPoint from, QPoint to, QRgb colour);

// An image's pixels, looked up once for the many lines of a trace. It stands for the image only
// while nothing else touches the image (a copy of it shared, a painter begun on it).
class ThinLineTarget {
public:
    explicit ThinLineTarget(QImage& image);
    // The same pixels as drawThinLine(image, from, to, colour).
    void draw(QPoint from, QPoint to, QRgb colour) const;

private:
    QRgb* m_pixels;
    qsizetype m_perLine;
    int m_width;
    int m_height;
};

// The pixels of one-pixel lines in one colour, each pixel once, worked out without the image (on
// another thread, say) and laid into it later: the same pixels as ThinLineTarget draws.
class ThinLineMask {
public:
    explicit ThinLineMask(QSize size = {});
    // Empty, for an image of `size`; the memory is kept.
    void reset(QSize size);
    void draw(QPoint from, QPoint to);
    QSize size() const { return m_size; }
    // The box of the pixels set; empty for none.
    QRect bounds() const;
    // Into an RGB32 or ARGB32 image of size().
    void layInto(QImage& image, QRgb colour) const;

private:
    QSize m_size;
    std::vector<std::uint64_t> m_seen; // a bit for each pixel
    std::vector<std::uint32_t> m_offsets;
    int m_left = 0, m_top = 0, m_right = -1, m_bottom = -1;
};

} // namespace forms
