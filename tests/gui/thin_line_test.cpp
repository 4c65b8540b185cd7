// The canvas's own one-pixel lines against QPainter's for the same pen, line by line: every line
// from a few starts to every end around a small image (all slopes, lengths and edge crossings),
// and random lines across and far past a canvas-sized one.

#include "forms/thin_line.h"
#include "support/test_tables.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

struct LineSet {
    const char* name;
    QSize image;
    std::vector<QLine> lines;
};

// Starts inside, on the edges and outside; ends on every pixel of a margin-wide box around.
LineSet everyEndAround(const char* name, QSize size, int margin)
{
    LineSet set{name, size, {}};
    const std::vector<QPoint> starts{{0, 0},  {5, 7},   {11, 3},  {23, 15},
                                     {-3, 8}, {12, -9}, {30, 20}, {-25, -20}};
    for (const QPoint& start : starts)
        for (int y = -margin; y < size.height() + margin; ++y)
            for (int x = -margin; x < size.width() + margin; ++x)
                set.lines.emplace_back(start, QPoint(x, y));
    return set;
}

LineSet randomLines(const char* name, QSize size, int reach, int count)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> x(-reach, size.width() + reach);
    std::uniform_int_distribution<int> y(-reach, size.height() + reach);
    LineSet set{name, size, {}};
    for (int i = 0; i < count; ++i)
        set.lines.emplace_back(x(random), y(random), x(random), y(random));
    return set;
}

class ThinLine : public ::testing::TestWithParam<LineSet> { };

TEST_P(ThinLine, SetsThePixelsOfAPainterLine)
{
    const LineSet& set = GetParam();
    QImage ours(set.image, QImage::Format_RGB32);
    QImage painted(set.image, QImage::Format_RGB32);
    const QRgb colour = qRgb(0, 128, 0);
    int differing = 0;
    for (const QLine& line : set.lines) {
        ours.fill(Qt::white);
        painted.fill(Qt::white);
        forms::drawThinLine(ours, line.p1(), line.p2(), colour);
        QPainter painter(&painted);
        painter.setPen(QPen(QColor(colour), 1, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
        painter.drawLine(line);
        painter.end();
        if (ours != painted && ++differing < 5)
            ADD_FAILURE() << "line " << line.x1() << "," << line.y1() << " to " << line.x2() << ","
                          << line.y2();
    }
    EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(Lines, ThinLine,
                         ::testing::Values(everyEndAround("EveryEndAroundSmallImage", {24, 16}, 30),
                                           randomLines("AcrossCanvas", {640, 480}, 200, 2000),
                                           randomLines("FarPastCanvas", {640, 480}, 1000000, 2000)),
                         tables::rowName);

} // namespace
