#pragma once

#include <QStyledItemDelegate>

namespace forms {

// A list's lines as the Fusion style paints a plain line (text only, not selected, focused,
// hovered or edited), with the text laid out once instead of the style's three times: a
// 500-line tap list is repainted on every change of an Explore control. Any other line, or any
// other style, is painted by QStyledItemDelegate as before.
class ListLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    static bool isPlain(const QStyleOptionViewItem& option);
};

} // namespace forms
