// The canvas's batched calls for long traces against the loops of single calls they stand for:
// the same pixels, the same drawing record, and the same state after (colour, width, the point
// that a next LineTo goes on from), on paths with points off the canvas, repeated points and
// points that are not numbers; and with their pixels worked out ahead.

#include "forms/form.h"
#include "forms/palette.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <memory>
#include <vector>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Path {
    const char* name;
    int lineWidth; // the draw width of the lines (above 1 the batch draws them one by one)
    std::vector<QPointF> points;
};

std::vector<QPointF> zigzag()
{
    std::vector<QPointF> points{{10.2, 20.7}, {10.2, 20.7}, {-30, 500}, {700, -5}};
    for (int i = 0; i < 3; ++i) // a red and a black dot in turns, each on the pixels before
        points.insert(points.end(), {{50.3, 60}, {i == 1 ? 50.6 : 50.1, 60.2}});
    for (int i = 0; i < 300; ++i)
        points.emplace_back(20 + i * 2.01, i % 2 ? 35.5 : 330.25);
    points.insert(points.begin() + 100, {kNaN, 50});
    points.insert(points.begin() + 200, {300, kInf});
    return points;
}

std::unique_ptr<forms::Form> blankCanvas()
{
    auto form = std::make_unique<forms::Form>(QStringLiteral("Batch"), 9600, 7200);
    form->setScaleWidth(640);
    form->setScaleHeight(480);
    form->setBackColor(Qt::white);
    form->Cls();
    form->setForeColor(forms::paletteColour(9));
    form->PSet(1, 1);
    return form;
}

const std::array<forms::Form::DotPen, 2> kPens{
    {{forms::paletteColour(12), 2}, {forms::paletteColour(0), 1}}};

// The dots in turns, then the lines in palette colour 2 from the first point, then one more line.
void drawOneByOne(forms::Form& form, const Path& path)
{
    for (std::size_t i = 0; i < path.points.size(); ++i) {
        form.setForeColor(kPens[i % 2].colour);
        form.setDrawWidth(kPens[i % 2].drawWidth);
        form.PSet(path.points[i].x(), path.points[i].y());
    }
    form.setForeColor(forms::paletteColour(2));
    form.setDrawWidth(path.lineWidth);
    form.PSet(5, 240);
    for (const QPointF& end : path.points)
        form.LineTo(end.x(), end.y());
    form.LineTo(320, 240);
}

void drawBatched(forms::Form& form, const Path& path)
{
    form.PSetInTurns(path.points, kPens);
    form.setForeColor(forms::paletteColour(2));
    form.setDrawWidth(path.lineWidth);
    form.PSet(5, 240);
    form.LineToEach(path.points);
    form.LineTo(320, 240);
}

// The same with the pixels worked out ahead, for the canvas as it stands or as it stood before
// its scale changed (`stale`).
void drawMappedAhead(forms::Form& form, const Path& path, bool stale)
{
    const QPointF start(5, 240);
    forms::Form::MappedDots dots;
    forms::Form::MappedPolyline lines;
    dots.map(form.canvasMapping(), path.points);
    lines.map(form.canvasMapping(), start, path.points);
    if (stale) {
        form.setScaleWidth(600);
        dots.map(form.canvasMapping(), path.points);
        form.setScaleWidth(640);
    }
    form.PSetInTurns(path.points, kPens, dots);
    form.setForeColor(forms::paletteColour(2));
    form.setDrawWidth(path.lineWidth);
    form.PSet(start.x(), start.y());
    form.LineToEach(path.points, lines);
    form.LineTo(320, 240);
}

void drawMappedNow(forms::Form& form, const Path& path) { drawMappedAhead(form, path, false); }
void drawMappedStale(forms::Form& form, const Path& path) { drawMappedAhead(form, path, true); }

class CanvasBatch : public ::testing::TestWithParam<Path> {
protected:
    void expectAsTheSingleCalls(void (*draw)(forms::Form&, const Path&));
};

TEST_P(CanvasBatch, DrawsAndRecordsAsTheSingleCalls) { expectAsTheSingleCalls(drawBatched); }

TEST_P(CanvasBatch, MappedAheadDrawsAndRecordsAsTheSingleCalls)
{
    expectAsTheSingleCalls(drawMappedNow);
    expectAsTheSingleCalls(drawMappedStale);
}

void CanvasBatch::expectAsTheSingleCalls(void (*draw)(forms::Form&, const Path&))
{
    const auto single = blankCanvas();
    const auto batched = blankCanvas();
    drawOneByOne(*single, GetParam());
    draw(*batched, GetParam());
    EXPECT_TRUE(single->canvasImage() == batched->canvasImage());
    const std::vector<forms::DrawingOp> expected = single->drawingRecord().ops();
    const std::vector<forms::DrawingOp> got = batched->drawingRecord().ops();
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        const forms::DrawingOp& a = got[i];
        const forms::DrawingOp& b = expected[i];
        EXPECT_TRUE(a.kind == b.kind && a.from == b.from && a.to == b.to && a.colour == b.colour
                    && a.width == b.width)
            << "call " << i;
    }
}

TEST(CanvasBatch, LeavesTheLastPensColourAndWidth)
{
    const auto form = blankCanvas();
    form->PSetInTurns(std::vector<QPointF>{{1, 1}, {2, 2}, {3, 3}}, kPens);
    EXPECT_EQ(form->foreColor(), kPens[0].colour);
    EXPECT_EQ(form->drawWidth(), kPens[0].drawWidth);
}

INSTANTIATE_TEST_SUITE_P(Paths, CanvasBatch,
                         ::testing::Values(Path{"ThinLines", 1, zigzag()},
                                           Path{"WideLines", 2, zigzag()}),
                         tables::rowName);

} // namespace
