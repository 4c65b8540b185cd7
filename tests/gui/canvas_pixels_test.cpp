// The canvas's pixels against the same calls drawn one by one through a plain painter on an image
// of the same size: every point a square of the pen's width, every line its own drawLine, in the
// order called, unantialiased. First for a set of strokes at each width, then for every screen's
// own drawing, replayed from its drawing record.

#include "canvas_user.h"
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

// One call as the canvas drew it before it drew lines itself: a point (or a line that starts and
// ends in one pixel) a square of the pen's width, a line one painter call.
void paintStroke(QPainter& painter, QPoint a, QPoint b, bool point, int width, QColor colour)
{
    const int half = (width - 1) / 2;
    if (point || a == b) {
        painter.fillRect(QRect(b - QPoint(half, half), QSize(width, width)), colour);
        return;
    }
    const Qt::PenCapStyle cap = width > 1 ? Qt::RoundCap : Qt::SquareCap;
    painter.setPen(QPen(colour, width, Qt::SolidLine, cap, Qt::RoundJoin));
    painter.drawLine(a, b);
}

QImage blankImage(QSize pixels, QColor background)
{
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(background);
    return image;
}

QImage referenceDrawing(const PixelCase& row, const QSize& pixels, const QSizeF& scale)
{
    QImage image = blankImage(pixels, Qt::white);
    QPainter painter(&image);
    QPointF current;
    for (const Stroke& s : row.strokes) {
        const QPointF from = s.joined ? current : s.from;
        current = s.to;
        paintStroke(painter, pixelOf(from, pixels, scale), pixelOf(s.to, pixels, scale), s.point,
                    row.width, forms::paletteColour(s.palette));
    }
    return image;
}

int differingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    return differing;
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
    EXPECT_EQ(differingPixels(drawn, reference), 0);
}

INSTANTIATE_TEST_SUITE_P(Widths, CanvasPixels,
                         ::testing::Values(PixelCase{"OnePixel", 1, strokeSet()},
                                           PixelCase{"TwoPixels", 2, strokeSet()},
                                           PixelCase{"ThreePixels", 3, strokeSet()}),
                         tables::rowName);

// A screen's drawing record replayed call by call with the pens above, in device pixels.
QImage replayedByPainter(const forms::Form& form, QSize pixels)
{
    const forms::DrawingRecord& record = form.drawingRecord();
    QImage image = blankImage(pixels, record.background());
    QPainter painter(&image);
    for (const forms::DrawingOp& op : record.ops()) {
        const QSizeF scale(op.scaleWidth, op.scaleHeight);
        const int width = static_cast<int>(std::lround(op.width * pixels.width() / scale.width()));
        paintStroke(painter, pixelOf(op.from, pixels, scale), pixelOf(op.to, pixels, scale),
                    op.kind == forms::DrawingOp::Kind::Point, width, QColor(op.colour));
    }
    return image;
}

using canvastest::Answers;
using namespace canvastest::questions;

struct ScreenCase {
    const char* name;
    const char* screen;
    Answers answers;
    const char* form;
    bool spectrum; // then opened over the screen with "View Spectrum"
};

class ScreenPixels : public canvastest::CanvasUser,
                     public ::testing::WithParamInterface<ScreenCase> { };

// The spectrum is modal: it is compared while the program waits in it, then closed.
TEST_P(ScreenPixels, MatchTheirRecordReplayedOneCallAtATime)
{
    const ScreenCase& c = GetParam();
    open(c.screen, c.answers);
    const char* shown = c.spectrum ? "Form7" : c.form;
    if (c.spectrum)
        actions().when([&] { return shows(c.form); },
                       [&] { clickButton(window(c.form), "Command2"); });
    int differing = -1;
    std::size_t calls = 0;
    actions().when([&] { return shows(shown); },
                   [&] {
                       forms::Form* form = window(shown);
                       const QImage drawn = form->canvasImage();
                       calls = form->drawingRecord().size();
                       differing = differingPixels(drawn, replayedByPainter(*form, drawn.size()));
                       if (c.spectrum)
                           clickButton(form, "Command1");
                   });
    ASSERT_TRUE(settles([&] { return shows(c.form) && !window("Form7"); }));
    EXPECT_GT(calls, 5u); // axes at least
    EXPECT_EQ(differing, 0);
}

// Each screen at its default answers, the filters with their phase traces, and the largest
// drawings: 32767 harmonics and a 500-tap filter.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Screens, ScreenPixels,
    ::testing::Values(
        ScreenCase{"Square", "square", {{kOdd, "3"}}, "Form3", false},
        ScreenCase{"Triangle", "triangle", {{kOdd, "3"}}, "Form4", false},
        ScreenCase{"Sawtooth", "sawtooth", {{kCount, "3"}}, "Form5", false},
        ScreenCase{"RectifiedFull", "rectified", {{kRectify, "F"}, {kCount, "3"}}, "Form6", false},
        ScreenCase{"RectifiedHalf", "rectified", {{kRectify, "H"}, {kCount, "3"}}, "Form6", false},
        ScreenCase{"Pulse", "pulse", {{kCount, "13"}, {"Duty Cycle [0 to 1]", "0.2"}}, "Form13",
                   false},
        ScreenCase{"SquareSpectrum", "square", {{kOdd, "3"}}, "Form3", true},
        ScreenCase{"PulseSpectrum", "pulse", {{kCount, "13"}, {"Duty Cycle [0 to 1]", "0.2"}},
                   "Form13", true},
        ScreenCase{"RectangularLowpass", "lowpass-rect",
                   {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}}, "Form8", false},
        ScreenCase{"BlackmanLowpass", "lowpass",
                   {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "Y"}}, "Form9",
                   false},
        ScreenCase{"Bandpass", "bandpass",
                   {{kSampling, "1000"}, {"Pass bandwidth in Hz [less than half the sampling freq.]",
                    "100"}, {kCentre, "250"}, {kTaps, "21"}, {kPhase, "Y"}}, "Form10", false},
        ScreenCase{"Highpass", "highpass",
                   {{kSampling, "1000"}, {kCutoff, "350"}, {kTaps, "15"}, {kPhase, "Y"}}, "Form11",
                   false},
        ScreenCase{"Bandstop", "bandstop",
                   {{kSampling, "1000"}, {"Stop bandwidth in Hz [less than half the sampling freq.]",
                    "200"}, {kCentre, "250"}, {kTaps, "29"}, {kPhase, "Y"}}, "Form12", false},
        ScreenCase{"BlackmanLowpass500Taps", "lowpass",
                   {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "500"}, {kPhase, "Y"}}, "Form9",
                   false},
        ScreenCase{"Square32767Harmonics", "square", {{kOdd, "32767"}}, "Form3", false},
        ScreenCase{"Sawtooth32767HarmonicsSpectrum", "sawtooth", {{kCount, "32767"}}, "Form5",
                   true}),
    tables::rowName);
// clang-format on

} // namespace
