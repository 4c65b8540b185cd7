#pragma once

#include <QPoint>
#include <QRgb>
#include <QtGlobal>

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

} // namespace forms
