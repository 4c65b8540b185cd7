// The canvas tools in a real X server: the pointer moved and the right button pressed by xdotool,
// the screen pictured with import, as a person at the desk would see them.

#include "x_session.h"

#include <QImage>

#include <gtest/gtest.h>

namespace e2e {
namespace {

class CanvasToolsOnScreen : public XServerTest {
protected:
    QImage screen() const
    {
        const QByteArray png = s_x->run(QStringLiteral("import"),
                                        {QStringLiteral("-silent"), QStringLiteral("-window"),
                                         QStringLiteral("root"), QStringLiteral("png:-")});
        return QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
    }
    // Moves the pointer there in two steps, so that the window sees it move over it.
    void pointAt(const QPoint& at) const
    {
        for (const QPoint& p : {at - QPoint(4, 4), at})
            s_x->run(QStringLiteral("xdotool"),
                     {QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())});
    }
};

// Pixels that differ between two pictures of the screen within a rectangle.
int changed(const QImage& before, const QImage& after, const QRect& part)
{
    int count = 0;
    const QRect inside = part.intersected(before.rect()).intersected(after.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += before.pixel(x, y) != after.pixel(x, y);
    return count;
}

// The triangle screen's client area is 792 x 573 pixels for its 640 x 480 canvas; a point in the
// middle of the graticule, and the places where the read-out (below right of the pointer) and the
// menu (from the pointer down and right) appear. The menu's face may be as white as the canvas:
// its captions and lines, and the graticule it hides, are what change.
TEST_F(CanvasToolsOnScreen, PointerShowsTheReadoutAndTheRightButtonTheMenu)
{
    RealProgram program(*s_x, {QStringLiteral("--screen"), QStringLiteral("triangle")});
    ASSERT_TRUE(program.answer(QStringLiteral("Number of Odd Harmonics"), QStringLiteral("3")));
    const auto id = program.window(QStringLiteral("Fourier triangle generator"));
    ASSERT_TRUE(id);
    const QRect area = program.area(*id);
    const QPoint client = area.topLeft() + QPoint(0, area.height() - 573);
    const QPoint at = client + QPoint(240 * 792 / 640, 200 * 573 / 480);
    s_x->run(QStringLiteral("xdotool"),
             {QStringLiteral("mousemove"), QStringLiteral("0"), QStringLiteral("0")});
    ASSERT_TRUE(waitUntil([&] { return !screen().isNull(); }));
    const QImage plain = screen();

    pointAt(at);
    const QRect readout(at + QPoint(10, 14), QSize(120, 40));
    EXPECT_TRUE(waitUntil([&] { return changed(plain, screen(), readout) > 300; }, 5000))
        << "no read-out beside the pointer";

    s_x->run(QStringLiteral("xdotool"), {QStringLiteral("click"), QStringLiteral("3")});
    const QRect menu(at + QPoint(20, 4), QSize(150, 80));
    QImage withMenu;
    EXPECT_TRUE(waitUntil(
        [&] {
            withMenu = screen();
            return changed(plain, withMenu, menu) > 1000;
        },
        5000))
        << "no menu at the pointer";
    s_x->run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")});
    const int shownWithMenu = changed(plain, withMenu, menu);
    EXPECT_TRUE(waitUntil([&] { return changed(plain, screen(), menu) < shownWithMenu; }, 5000))
        << "the menu stays after Escape";
}

} // namespace
} // namespace e2e
