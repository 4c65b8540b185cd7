// The controls of a form's layout: where they go, their faces, and how they answer the user.
#include "forms/form.h"

#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>

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

// Controls' focus, drawn thick enough to be seen on a projector.
void drawFocusRing(QWidget* widget)
{
    if (!widget->hasFocus())
        return;
    QPainter painter(widget);
    QPen pen(widget->palette().color(QPalette::Highlight), 2);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(widget->rect()).adjusted(1, 1, -1, -1));
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

} // namespace

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
    return control;
}

QLabel* Form::addLabel(const QString& objectName, const QRect& rect, const FontSpec& font)
{
    auto* label = placeControl(new QLabel(m_client), objectName, rect, font);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
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
