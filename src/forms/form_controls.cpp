// The controls of a form's layout: where they go, their faces, and how they answer the user.
#include "forms/form.h"

#include "forms/list_line_delegate.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QStylePainter>

#include <algorithm>

namespace forms {
namespace {

// Check boxes, lists and text boxes keep the layouts' default face.
const FontSpec kControlFont{QStringLiteral("MS Sans Serif"), 8.25, false};

// The layouts were drawn for the narrow "MS Sans Serif". Where it is missing, a face with
// Arial's widths keeps captions inside their labels; the platform's default sans is wider.
void substituteLayoutFaces()
{
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                                    QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
        return true;
    }();
    Q_UNUSED(substituted);
}

QFont toQFont(const FontSpec& layoutFont)
{
    substituteLayoutFaces();
    QFont font(layoutFont.family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(layoutFont.points);
    font.setBold(layoutFont.bold);
    return font;
}

// A push button whose caption wraps at word boundaries when it is wider than the button, as the
// layouts expect of long captions; a caption that fits is drawn by the style as usual.
class CaptionButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QStyleOptionButton option;
        initStyleOption(&option);
        const QRect room = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
        if (fontMetrics().horizontalAdvance(text()) <= room.width()) {
            QPushButton::paintEvent(event);
            return;
        }
        QStylePainter painter(this);
        option.text.clear();
        painter.drawControl(QStyle::CE_PushButton, option);
        painter.drawItemText(room, Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(),
                             text(), QPalette::ButtonText);
    }
};

FocusRing& focusRing()
{
    static FocusRing ring;
    return ring;
}

// Controls' focus, drawn thick enough to be seen on a projector.
void drawFocusRing(QWidget* widget)
{
    if (!widget->hasFocus())
        return;
    const FocusRing& ring = focusRing();
    QPainter painter(widget);
    const QColor colour =
        ring.colour.isValid() ? ring.colour : widget->palette().color(QPalette::Highlight);
    painter.setPen(QPen(colour, ring.width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    const double half = ring.width / 2.0;
    painter.drawRect(QRectF(widget->rect()).adjusted(half, half, -half, -half));
}

// A push button as the layouts expect: long captions wrap, Return or Enter presses it as Space
// does, and its focus shows plainly.
class LayoutButton : public CaptionButton {
public:
    using CaptionButton::CaptionButton;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && event->modifiers() == Qt::NoModifier) {
            event->accept();
            animateClick();
            return;
        }
        CaptionButton::keyPressEvent(event);
    }
    void paintEvent(QPaintEvent* event) override
    {
        CaptionButton::paintEvent(event);
        drawFocusRing(this);
    }
};

class LayoutCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QCheckBox::paintEvent(event);
        drawFocusRing(this);
    }
};

// The largest font, no larger than `font`, in which every word of `text` fits `room` across.
QFont fittingFont(QFont font, const QString& text, int room)
{
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const auto fits = [&](const QFont& f) {
        const QFontMetricsF metrics(f);
        return std::all_of(words.begin(), words.end(), [&](const QString& word) {
            return metrics.horizontalAdvance(word) <= room;
        });
    };
    for (int step = 0; step < 30 && font.pointSizeF() > 2 && !fits(font); ++step)
        font.setPointSizeF(font.pointSizeF() * 0.92);
    return font;
}

// A caption that, once the window is shown at another size than designed, draws its text in a
// smaller font where a word would not fit across: text scales with the window less evenly than
// the places do, and a wrapped word ("-" above "180") or one cut off says something else.
class LayoutLabel : public QLabel {
public:
    using QLabel::QLabel;
    void setFitting(bool fitting)
    {
        m_fitting = fitting;
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (!m_fitting || textFormat() != Qt::PlainText) {
            QLabel::paintEvent(event);
            return;
        }
        const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
        const QString words =
            wordWrap() ? text() : QString(text()).replace(QLatin1Char(' '), QChar(0xa0));
        const QFont fitted = fittingFont(font(), words, room.width());
        if (fitted == font()) {
            QLabel::paintEvent(event);
            return;
        }
        QPainter painter(this);
        drawFrame(&painter);
        painter.setFont(fitted);
        const int flags = int(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
        style()->drawItemText(&painter, room, flags, palette(), isEnabled(), text(),
                              foregroundRole());
    }

private:
    bool m_fitting = false;
};

} // namespace

void setFocusRing(const FocusRing& ring)
{
    focusRing() = ring;
    if (QWidget* focused = QApplication::focusWidget())
        focused->update();
}

void fitMenuInside(QMenu& menu, const QSize& room, double scale)
{
    constexpr double kStep = 0.9;
    QFont font = QApplication::font(&menu);
    if (scale < 1)
        font.setPointSizeF(font.pointSizeF() * scale);
    if (scale < 1 || menu.testAttribute(Qt::WA_SetFont))
        menu.setFont(font);
    for (int step = 0; step < 20; ++step) {
        const QSize wanted = menu.sizeHint();
        if (wanted.width() <= room.width() && wanted.height() <= room.height())
            break;
        font.setPointSizeF(font.pointSizeF() * kStep);
        menu.setFont(font);
    }
    for (QAction* action : menu.actions())
        if (action->menu())
            fitMenuInside(*action->menu(), room, scale);
}

void Form::remember(QWidget* control)
{
    m_designed.push_back({control, control->geometry(), control->font()});
    if (textScale() != 1)
        fitText(control);
}

void Form::addControl(QWidget* control)
{
    m_controls.push_back(control);
    remember(control);
}

// Every control at its designed place and font times the layout scale, across and down alike.
void Form::layOutControls()
{
    // At the designed size, until the first change of size, the controls stand where the screen
    // last put them.
    if (!m_everScaled && m_client->size() == m_clientSize)
        return;
    m_everScaled = true;
    const double sx = double(m_client->width()) / m_clientSize.width();
    const double sy = double(m_client->height()) / m_clientSize.height();
    const double scale = layoutScale();
    for (const Designed& designed : m_designed) {
        if (!designed.control)
            continue;
        const QRect& r = designed.rect;
        designed.control->setGeometry(qRound(r.left() * sx), qRound(r.top() * sy),
                                      qRound(r.width() * sx), qRound(r.height() * sy));
        QFont font = designed.font;
        font.setPointSizeF(font.pointSizeF() * scale);
        designed.control->setFont(font);
        fitText(designed.control);
    }
}

// Away from the designed size, text boxes and captions shrink their text to fit them.
void Form::fitText(QWidget* control) const
{
    const bool fitting = textScale() != 1;
    if (auto* label = dynamic_cast<LayoutLabel*>(control))
        label->setFitting(fitting);
    auto* box = qobject_cast<QLineEdit*>(control);
    if (!box || !fitting)
        return;
    const auto fit = [this, box] {
        const auto found = std::find_if(m_designed.begin(), m_designed.end(),
                                        [box](const Designed& d) { return d.control == box; });
        if (found == m_designed.end())
            return;
        QFont font = found->font;
        font.setPointSizeF(font.pointSizeF() * layoutScale());
        // The box's own text room: its contents less a margin of 2 on each side.
        QStyleOptionFrame option;
        option.initFrom(box);
        option.lineWidth = box->hasFrame() ? 1 : 0;
        const QRect contents =
            box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
        // Away from the designed size the box's fixed inner margins take the room the text needs.
        constexpr int kInnerMargin = 2;
        box->setTextMargins(-kInnerMargin, 0, -kInnerMargin, 0);
        const int room = contents.width();
        box->setFont(fittingFont(font, box->text(), room));
    };
    if (!box->property("fitsText").toBool()) {
        box->setProperty("fitsText", true);
        connect(box, &QLineEdit::textChanged, this, fit);
    }
    fit();
}

QRect Form::twipsRect(int left, int top, int width, int height) const
{
    if (m_zoom == 1)
        return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                     twipsToPixels(height));
    const auto scaled = [this](int twips) { return qRound(twips * m_zoom / kTwipsPerPixel); };
    return QRect(scaled(left), scaled(top), scaled(width), scaled(height));
}

QFont Form::layoutFont(const FontSpec& font) const
{
    return toQFont({font.family, font.points * m_zoom, font.bold});
}

QRect Form::logicalRect(int left, int top, int width, int height) const
{
    const QSizeF grid = m_layoutGrid.isEmpty() ? QSizeF(m_clientSize) : m_layoutGrid;
    const double sx = m_clientSize.width() / grid.width();
    const double sy = m_clientSize.height() / grid.height();
    return QRect(qRound(left * sx), qRound(top * sy), qRound(width * sx), qRound(height * sy));
}

template <typename Control>
Control* Form::placeControl(Control* control, const QString& objectName, const QRect& rect,
                            const FontSpec& font)
{
    control->setObjectName(objectName);
    control->setGeometry(rect);
    control->setFont(layoutFont(font));
    m_controls.push_back(control);
    remember(control);
    return control;
}

QLabel* Form::addLabel(const QString& objectName, const QRect& rect, const FontSpec& font)
{
    auto* label = new LayoutLabel(m_client);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return placeControl(label, objectName, rect, font);
}

QPushButton* Form::addButton(const QString& objectName, const QString& caption, const QRect& rect,
                             const FontSpec& font)
{
    auto* button = placeControl(new LayoutButton(caption, m_client), objectName, rect, font);
    button->setAutoDefault(false);
    return button;
}

QCheckBox* Form::addCheckBox(const QString& objectName, const QString& caption, const QRect& rect)
{
    return placeControl(new LayoutCheckBox(caption, m_client), objectName, rect, kControlFont);
}

QListWidget* Form::addList(const QString& objectName, const QRect& rect)
{
    auto* list = placeControl(new QListWidget(m_client), objectName, rect, kControlFont);
    list->setUniformItemSizes(true);
    list->setItemDelegate(new ListLineDelegate(list));
    return list;
}

QLineEdit* Form::addTextBox(const QString& objectName, const QRect& rect)
{
    auto* text = placeControl(new QLineEdit(m_client), objectName, rect, kControlFont);
    text->setFrame(true);
    text->setTextMargins(0, 0, 0, 0);
    return text;
}

QMenu* Form::addMenu(const QString& objectName, const QString& caption)
{
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setObjectName(objectName);
    connect(menu, &QMenu::aboutToShow, this,
            [this, menu] { fitMenuInside(*menu, size(), textScale()); });
    return menu;
}

QAction* Form::addMenuItem(QMenu* menu, const QString& objectName, const QString& caption,
                           std::function<void()> handler)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(objectName);
    connect(action, &QAction::triggered, this,
            [this, handler = std::move(handler)] { invokeHandler(handler); });
    return action;
}

void Form::invokeHandler(const std::function<void()>& handler)
{
    if (m_host)
        m_host->invoke(handler);
}

void Form::onClick(QAbstractButton* button, std::function<void()> handler)
{
    connect(button, &QAbstractButton::clicked, this,
            [this, handler = std::move(handler)] { invokeHandler(handler); });
}

} // namespace forms
