#pragma once

#include <QPoint>
#include <QRgb>

class QImage;

namespace forms {

// A one-pixel line between two pixel centres, written straight into an RGB32 or ARGB32 image in
// an opaque colour: the very pixels that QPainter's raster engine sets for an unantialiased,
// solid, square-capped one-pixel pen (its cosmetic stroker), clipped to the image.
void drawThinLine(QImage& image, QPoint from, QPoint to, QRgb colour);

} // namespace forms
