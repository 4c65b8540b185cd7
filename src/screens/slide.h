#pragma once

#include "forms/vector_export.h"
#include "screens/canvas_tool_state.h"
#include "screens/plot_axes.h"

#include <QByteArray>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QPainter;

namespace screens {

// Everything a slide shows of one screen.
struct SlideContent {
    QString title; // the window's caption
    QSize window;  // the client area in logical pixels
    QSizeF canvas; // the canvas's logical scale
    PlotAxes axes; // the plot (logical units) and its axes
    QStringList captions;
    std::vector<LegendLine> legend;
    QString note; // the measurements box's rich text; empty when it is not shown
    // Paints the canvas's drawing (held traces under it) with `canvas` standing for the whole
    // canvas, on a white page.
    std::function<void(QPainter& painter, const QRectF& canvas)> paintDrawing;
};

// The slide's page: `scale` times the window's width across, 16:9.
QSize slidePixels(const SlideContent& slide, int scale);

// Paints the slide onto a page `page` device units across and down: title, the plot cropped to
// its frame with its axes, and beside it the legend, the captions and the measurements. The one
// painting for the picture and both vector forms.
void paintSlide(QPainter& painter, const SlideContent& slide, const QSizeF& page);

// The slide in a picture format: PNG pixels, or SVG and PDF vectors with real text.
QByteArray slideFile(const SlideContent& slide, forms::PictureFormat format, int scale);

} // namespace screens
