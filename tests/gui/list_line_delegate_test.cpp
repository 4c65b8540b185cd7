// A list painted by its line delegate against the same list painted by Qt's own delegate: the
// same pixels for tap-like lines, long lines scrolled sideways, several fonts and row heights,
// inactive and disabled lists, and lines the delegate leaves to Qt (the current, selected one).

#include "forms/list_line_delegate.h"
#include "support/test_tables.h"

#include <QApplication>
#include <QListWidget>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include <memory>

namespace {

using tables::PrintTo;

struct ListLook {
    const char* name;
    const char* family;
    double points;
    int rowSpacing; // added to the row height through the item size hint
    bool enabled;
    int selectedRow; // -1: none
    int scrolledRight;
};

const QStringList kLines{
    "-0.0002345678", "0.33333", " 1.234568E-05",
    "-9.876543E+12", "0",       "a line wider than the list, scrolled sideways to its end",
    "ÄÖÜ ß µ"};

QImage painted(const ListLook& look, bool ownDelegate)
{
    // A widget does not own the style it is given: this one outlives the list.
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
    QListWidget list;
    list.setStyle(fusion.get());
    list.resize(150, 140);
    list.setUniformItemSizes(true);
    list.setTextElideMode(Qt::ElideNone);
    QFont font(QString::fromLatin1(look.family));
    font.setPointSizeF(look.points);
    list.setFont(font);
    QPalette palette = list.palette();
    palette.setColor(QPalette::Text, QColor(0, 0, 128));
    palette.setColor(QPalette::Base, QColor(192, 220, 255));
    list.setPalette(palette);
    if (ownDelegate)
        list.setItemDelegate(new forms::ListLineDelegate(&list));
    list.addItems(kLines);
    if (look.rowSpacing)
        for (int row = 0; row < list.count(); ++row)
            list.item(row)->setSizeHint(QSize(400, QFontMetrics(font).height() + look.rowSpacing));
    if (look.selectedRow >= 0)
        list.setCurrentRow(look.selectedRow);
    list.setEnabled(look.enabled);
    list.show();
    list.doItemsLayout();
    list.horizontalScrollBar()->setValue(look.scrolledRight);
    return list.grab().toImage();
}

class ListLineDelegate : public ::testing::TestWithParam<ListLook> { };

TEST_P(ListLineDelegate, PaintsTheLinesAsQtsOwnDelegate)
{
    const QImage ours = painted(GetParam(), true);
    const QImage qts = painted(GetParam(), false);
    ASSERT_EQ(ours.size(), qts.size());
    int differing = 0;
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x)
            differing += ours.pixel(x, y) != qts.pixel(x, y);
    EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Looks, ListLineDelegate,
    ::testing::Values(ListLook{"LayoutFont", "MS Sans Serif", 8.25, 0, true, -1, 0},
                      ListLook{"LargerFont", "Liberation Sans", 12.375, 0, true, -1, 0},
                      ListLook{"OddSize", "DejaVu Sans", 10.7, 0, true, -1, 0},
                      ListLook{"TallRows", "Liberation Sans", 8.25, 7, true, -1, 0},
                      ListLook{"ScrolledSideways", "Liberation Sans", 9, 0, true, -1, 60},
                      ListLook{"Disabled", "Liberation Sans", 9, 0, false, -1, 0},
                      ListLook{"SelectedLine", "Liberation Sans", 9, 0, true, 2, 0}),
    tables::rowName);

} // namespace
