// The canvas's pixels against the same calls drawn one by one through a plain painter on an image
// of the same size: every point a square of the pen's width, every line its own drawLine, in the
// order called, unantialiased.

#include "forms/form.h"
#include "forms/palette.h"
#include "support/test_tables.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

// One call: a point where from == to and `point` is set, else a line (a joined one with `joined`,
// drawn on from the end of the call before), in a colour of the palette.
struct Stroke {
    bool point;
    bool joined;
    QPointF from, to;
    int palette = 0;
};

struct PixelCase {
    const char* name;
    int width;
    std::vector<Stroke> strokes;
};

Stroke dot(double x, double y) { return {true, false, {x, y}, {x, y}}; }
Stroke line(double x1, double y1, double x2, double y2)
{
    return {false, false, {x1, y1}, {x2, y2}};
}
Stroke lineTo(double x, double y) { return {false, true, {}, {x, y}}; }

// Points inside, on and past each edge, lines of every slope, lines off and across the edges,
// zero-length lines, and a polyline that zigzags (as a phase trace does), at fractional units.
std::vector<Stroke> strokeSet()
{
    std::vector<Stroke> strokes{dot(10.2, 20.7),
                                dot(0, 0),
                                dot(639.9, 479.9),
                                dot(-0.5, 100),
                                dot(640, 100),
                                dot(300, -1),
                                dot(300, 480.4),
                                line(5, 5, 600.6, 5.4),
                                line(20, 10, 21, 470),
                                line(30.3, 30.7, 400.1, 300.9),
                                line(600, 20, 40, 460),
                                line(-50, -30, 700, 520),
                                line(-200, 240, 100.5, 241),
                                line(620, -40, 660, 500),
                                line(100, 500, 200, -20),
                                line(700, 10, 900, 300),
                                line(50.5, 50.5, 50.9, 50.2),
                                dot(60, 60),
                                line(55, 40, 65, 80),
                                lineTo(75.25, 20.75),
                                lineTo(85, 470),
                                lineTo(86, 10),
                                lineTo(87, 470),
                                lineTo(87, 470),
                                lineTo(-20, 200),
                                dot(87, 470),
                                lineTo(639, 0),
                                lineTo(0, 479)};
    for (std::size_t i = 0; i < strokes.size(); ++i)
        strokes[i].palette = static_cast<int>(i % 16); // each colour, some twice
    return strokes;
}

// The pixel that contains a logical point on a canvas scaled `scale` units across `pixels`.
QPoint pixelOf(const QPointF& p, const QSize& pixels, const QSizeF& scale)
{
    const auto at = [](double units, int size, double across) {
        return static_cast<int>(std::floor(double(float(units)) * size / across));
    };
    return {at(p.x(), pixels.width(), scale.width()), at(p.y(), pixels.height(), scale.height())};
}

QImage referenceDrawing(const PixelCase& row, const QSize& pixels, const QSizeF& scale)
{
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int half = (row.width - 1) / 2;
    QPointF current;
    for (std::size_t i = 0; i < row.strokes.size(); ++i) {
        const Stroke& s = row.strokes[i];
        const QColor colour = forms::paletteColour(s.palette);
        const QPointF from = s.joined ? current : s.from;
        current = s.to;
        const QPoint a = pixelOf(from, pixels, scale);
        const QPoint b = pixelOf(s.to, pixels, scale);
        if (s.point || a == b) {
            painter.fillRect(QRect(b - QPoint(half, half), QSize(row.width, row.width)), colour);
            continue;
        }
        const Qt::PenCapStyle cap = row.width > 1 ? Qt::RoundCap : Qt::SquareCap;
        painter.setPen(QPen(colour, row.width, Qt::SolidLine, cap, Qt::RoundJoin));
        painter.drawLine(a, b);
    }
    return image;
}

void drawOnCanvas(forms::Form& form, const PixelCase& row)
{
    form.setDrawWidth(row.width);
    for (std::size_t i = 0; i < row.strokes.size(); ++i) {
        const Stroke& s = row.strokes[i];
        form.setForeColor(forms::paletteColour(s.palette));
        if (s.point)
            form.PSet(s.from.x(), s.from.y());
        else if (s.joined)
            form.LineTo(s.to.x(), s.to.y());
        else
            form.Line(s.from.x(), s.from.y(), s.to.x(), s.to.y());
    }
}

class CanvasPixels : public ::testing::TestWithParam<PixelCase> { };

TEST_P(CanvasPixels, MatchOnePainterCallPerStroke)
{
    forms::Form form(QStringLiteral("Pixels"), 9600, 7200);
    const QSizeF scale(640, 480);
    form.setScaleWidth(scale.width());
    form.setScaleHeight(scale.height());
    form.setBackColor(Qt::white);
    form.Cls();
    drawOnCanvas(form, GetParam());
    // Read back in the middle of the pass, as a screen may, then draw on.
    const QPointF probe = GetParam().strokes.front().from;
    const QColor probed = form.Point(probe.x(), probe.y());
    drawOnCanvas(form, GetParam());

    const QImage drawn = form.canvasImage();
    PixelCase twice = GetParam();
    twice.strokes.insert(twice.strokes.end(), twice.strokes.begin(), twice.strokes.end());
    const QImage reference = referenceDrawing(twice, drawn.size(), scale);
    const QImage once = referenceDrawing(GetParam(), drawn.size(), scale);
    EXPECT_EQ(probed, QColor(once.pixel(pixelOf(probe, drawn.size(), scale))));
    ASSERT_EQ(drawn.size(), reference.size());
    int differing = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            differing += drawn.pixel(x, y) != reference.pixel(x, y);
    EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(Widths, CanvasPixels,
                         ::testing::Values(PixelCase{"OnePixel", 1, strokeSet()},
                                           PixelCase{"TwoPixels", 2, strokeSet()},
                                           PixelCase{"ThreePixels", 3, strokeSet()}),
                         tables::rowName);

} // namespace
