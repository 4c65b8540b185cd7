// The drawing record gives back every call as it was made, whatever it keeps: the points and
// lines in order, each with its own pen, lines joined to the call before or not, across the
// base mark and across its blocks, with pens switched call by call or more than it searches.

#include "forms/drawing_record.h"
#include "support/test_tables.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using forms::DrawingOp;
using tables::PrintTo; // rows print as their names in failure messages

DrawingOp point(double x, double y, QRgb colour, double width = 1)
{
    return {DrawingOp::Kind::Point, {x, y}, {x, y}, colour, width, 640, 480};
}
DrawingOp line(QPointF from, QPointF to, QRgb colour, double width = 1)
{
    return {DrawingOp::Kind::Line, from, to, colour, width, 640, 480};
}

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlack = qRgb(0, 0, 0);

struct Calls {
    const char* name;
    std::vector<DrawingOp> calls;
    std::size_t base = 0; // calls before the base mark
};

// More pens than the record searches for the one in use.
Calls manyPens()
{
    Calls c{"FortyPensInTurn", {}, 0};
    for (int i = 0; i < 80; ++i)
        c.calls.push_back(point(i, i, qRgb(i % 40, 0, 0), 1 + i % 3));
    return c;
}

// A polyline longer than a block of the record's entries, its trace starting in the second.
Calls longPolyline()
{
    Calls c{"PolylineAcrossBlocks", {point(0, 0, kBlack)}, 4097};
    for (int i = 1; i < 5000; ++i)
        c.calls.push_back(line(QPointF(i - 1, i % 7), QPointF(i, (i + 1) % 7), kBlack));
    return c;
}

class RecordCalls : public ::testing::TestWithParam<Calls> { };

TEST_P(RecordCalls, GivesBackEachCallAsMade)
{
    forms::DrawingRecord record;
    record.clear(Qt::white);
    const Calls& c = GetParam();
    for (std::size_t i = 0; i < c.calls.size(); ++i) {
        if (i == c.base && c.base > 0)
            record.markBase();
        const DrawingOp& op = c.calls[i];
        const forms::DrawingPen pen{op.colour, op.width, op.scaleWidth, op.scaleHeight};
        if (op.kind == DrawingOp::Kind::Point)
            record.addPoint(op.from, pen);
        else
            record.addLine(op.from, op.to, pen);
    }
    const auto same = [](const DrawingOp& a, const DrawingOp& b) {
        return a.kind == b.kind && a.from == b.from && a.to == b.to && a.colour == b.colour
            && a.width == b.width && a.scaleWidth == b.scaleWidth && a.scaleHeight == b.scaleHeight;
    };
    const std::vector<DrawingOp> ops = record.ops();
    ASSERT_EQ(ops.size(), c.calls.size());
    for (std::size_t i = 0; i < ops.size(); ++i)
        EXPECT_TRUE(same(ops[i], c.calls[i])) << "call " << i;
    const std::vector<DrawingOp> trace = record.trace().ops();
    ASSERT_EQ(trace.size(), c.calls.size() - c.base);
    for (std::size_t i = 0; i < trace.size(); ++i)
        EXPECT_TRUE(same(trace[i], c.calls[c.base + i])) << "traced call " << i;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Recordings, RecordCalls,
    ::testing::Values(
        Calls{"PolylineFromAPoint",
              {point(1, 2, kBlack), line({1, 2}, {3, 4}, kBlack), line({3, 4}, {5, 0}, kBlack)}},
        Calls{"LinesApartAndJoined",
              {line({1, 2}, {3, 4}, kRed), line({9, 9}, {3, 4}, kRed),
               line({3, 4}, {3, 4}, kBlack, 2)}},
        Calls{"PointsSwitchingPens",
              {point(1, 1, kRed, 2), point(1, 2, kBlack), point(2, 1, kRed, 2),
               point(2, 2, kBlack)}},
        Calls{"PolylineAcrossTheBase",
              {line({0, 0}, {10, 0}, kBlack), line({10, 0}, {10, 10}, kRed),
               line({10, 10}, {0, 10}, kRed)}, 1},
        Calls{"PointThenLineAcrossTheBase",
              {point(4, 4, kBlack), line({4, 4}, {8, 8}, kRed)}, 1},
        manyPens(), longPolyline()),
    tables::rowName);
// clang-format on

} // namespace
