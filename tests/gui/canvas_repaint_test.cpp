// What a window shows of its canvas once the event loop has run, after each kind of drawing
// call: the image itself, though only the pixels a call may have changed are painted again.

#include "forms/form.h"
#include "forms/palette.h"
#include "support/test_tables.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

namespace {

using forms::paletteColour;
using tables::PrintTo; // rows print as their names in failure messages

struct Calls {
    const char* name;
    std::function<void(forms::Form&)> draw;
};

std::vector<QPointF> wave()
{
    std::vector<QPointF> points;
    for (int i = 0; i < 400; ++i)
        points.emplace_back(100 + i, 240 + 120 * ((i / 37) % 2 ? 1 : -1) * (i % 37) / 37.0);
    return points;
}

const std::array<forms::Form::DotPen, 2> kPens{{{paletteColour(12), 2}, {paletteColour(0), 1}}};

class CanvasRepaint : public ::testing::TestWithParam<Calls> { };

TEST_P(CanvasRepaint, ShowsTheImageOnceTheEventLoopHasRun)
{
    forms::Form form(QStringLiteral("Repaint"), 9600, 7200);
    form.setScaleWidth(640);
    form.setScaleHeight(480);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // A drawing already shown, across the middle, that the calls may clear.
    form.setForeColor(paletteColour(9));
    form.setDrawWidth(3);
    form.Line(20, 30, 600, 420);
    QCoreApplication::processEvents();
    GetParam().draw(form);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.shownPicture() == form.canvasImage());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Calls, CanvasRepaint,
    ::testing::Values(
        Calls{"Cls", [](forms::Form& form) { form.Cls(); }},
        Calls{"ClsInANewBackColour", [](forms::Form& form) {
                  form.setBackColor(paletteColour(14));
                  form.Cls();
              }},
        Calls{"ClsThenAPointFarOff", [](forms::Form& form) {
                  form.Cls();
                  form.PSet(630, 5);
              }},
        Calls{"PointsInOppositeCorners", [](forms::Form& form) {
                  form.setDrawWidth(4);
                  form.PSet(1, 478);
                  form.PSet(638, 2);
              }},
        Calls{"DotsInTurns", [](forms::Form& form) { form.PSetInTurns(wave(), kPens); }},
        Calls{"PolylineOfThinLines", [](forms::Form& form) {
                  form.setDrawWidth(1);
                  form.LineToEach(wave());
              }},
        Calls{"PolylineWorkedOutAhead", [](forms::Form& form) {
                  form.setDrawWidth(1);
                  form.PSet(5, 5);
                  forms::Form::MappedPolyline mapped;
                  mapped.map(form.canvasMapping(), QPointF(5, 5), wave());
                  form.LineToEach(wave(), mapped);
              }},
        Calls{"WideLineOffTheCanvas", [](forms::Form& form) {
                  form.setDrawWidth(9);
                  form.Line(-50, 470, 700, 475);
              }}),
    tables::rowName);
// clang-format on

} // namespace
