#include "forms/list_line_delegate.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <QWidget>

#include <cmath>

namespace forms {

bool ListLineDelegate::isPlain(const QStyleOptionViewItem& option)
{
    const QWidget* view = option.widget;
    if (!view || view->style()->name() != QLatin1String("fusion") || !view->styleSheet().isEmpty())
        return false;
    const QStyle::State busy = QStyle::State_Selected | QStyle::State_HasFocus
        | QStyle::State_MouseOver | QStyle::State_Editing;
    const bool oneLine = !option.text.contains(QChar::LineFeed)
        && !option.text.contains(QChar::LineSeparator)
        && !option.text.contains(QChar::ParagraphSeparator)
        && !option.text.contains(QChar::Tabulation);
    return option.features == QStyleOptionViewItem::HasDisplay && !(option.state & busy)
        && option.backgroundBrush.style() == Qt::NoBrush && option.direction == Qt::LeftToRight
        && option.displayAlignment == (Qt::AlignLeft | Qt::AlignVCenter)
        && option.textElideMode == Qt::ElideNone && oneLine;
}

// Where the style puts a plain line: the text's margin in from the left; one line's height,
// rounded up, centred in the row, and the line centred again in that.
void ListLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& given,
                             const QModelIndex& index) const
{
    QStyleOptionViewItem option = given;
    initStyleOption(&option, index);
    if (!isPlain(option)) {
        QStyledItemDelegate::paint(painter, given, index);
        return;
    }
    const QRect& row = option.rect;
    const QFontMetricsF metrics(option.font);
    const double lineHeight = metrics.ascent() + metrics.descent();
    const int textHeight = std::min(int(std::ceil(lineHeight)), row.height());
    const int textTop = row.top() + (row.height() - textHeight) / 2;
    const int lineTop = textTop + (textHeight - int(std::lround(lineHeight))) / 2;
    const int margin =
        option.widget->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget)
        + 1;
    QPalette::ColorGroup group =
        option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(option.state & QStyle::State_Active))
        group = QPalette::Inactive;
    painter->save();
    painter->setClipRect(row);
    painter->setFont(option.font);
    painter->setPen(option.palette.color(group, QPalette::Text));
    painter->drawText(QPointF(row.left() + margin, lineTop + metrics.ascent()), option.text);
    painter->restore();
}

} // namespace forms
