#include "forms/form.h"

#include "forms/runtime.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <atomic>
#include <cmath>

namespace forms {
namespace {

std::atomic<long> g_nonFinite{0};

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// Qt's raster drawing returns with the upper halves of the vector registers in use. Until they are
// cleared, every scalar floating-point instruction of ours that follows pays a transition penalty
// (measured: the phase trace's arithmetic ran 15 times slower between its line segments).
__attribute__((target("avx"))) void clearUpperVectorHalves() { __builtin_ia32_vzeroupper(); }

void afterQtDrawing()
{
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx)
        clearUpperVectorHalves();
}
#else
void afterQtDrawing() {}
#endif

// Far outside any canvas, yet small enough for the painter's integer arithmetic.
constexpr double kDeviceLimit = 1.0e6;

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
        painter.drawItemText(room, Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(), text(),
                             QPalette::ButtonText);
    }
};

} // namespace

int twipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

// The client area: shows the persistent image; controls are its children.
class ClientArea : public QWidget {
public:
    explicit ClientArea(Form* form) : QWidget(form), m_form(form) {}

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.drawImage(event->rect(), m_form->canvasImage(), event->rect());
    }

private:
    Form* m_form;
};

Form::Form(const QString& name, int clientWidthTwips, int clientHeightTwips)
    : m_name(name),
      m_image(twipsToPixels(clientWidthTwips), twipsToPixels(clientHeightTwips), QImage::Format_RGB32)
{
    setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_image.fill(Qt::white);
    m_scaleWidth = m_image.width();
    m_scaleHeight = m_image.height();
    m_client = new ClientArea(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setFixedSize(m_image.size());
    m_client->setAutoFillBackground(false);
    setCentralWidget(m_client);
}

Form::~Form() { endPainting(); }

void Form::setCaption(const QString& caption) { setWindowTitle(caption); }

QString Form::caption() const { return windowTitle(); }

void Form::centreOnScreen()
{
    adjustSize();
    setFixedSize(size());
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect display = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const int top = display.height() / 2 - height() / 2;
    const int left = display.width() / 2 - width() / 2;
    move(display.left() + left, display.top() + top);
}

void Form::Show(int modal) { Runtime::current().show(this, modal != 0); }

void Form::setScaleHeight(double units) { m_scaleHeight = units; }

void Form::setScaleWidth(double units) { m_scaleWidth = units; }

void Form::setMousePointer(int pointer)
{
    m_mousePointer = pointer;
    if (pointer == 11)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

bool Form::finite(double x, double y) const
{
    if (std::isfinite(x) && std::isfinite(y))
        return true;
    ++g_nonFinite;
    return false;
}

long Form::nonFiniteCoordinates() { return g_nonFinite.load(); }

// Coordinates are narrowed to single precision, as the drawing operations take them, and mapped
// to the pixel that contains them, the same way for drawing and for reading back.
QPoint Form::toDevice(double x, double y) const
{
    const double px = static_cast<float>(x) * m_image.width() / m_scaleWidth;
    const double py = static_cast<float>(y) * m_image.height() / m_scaleHeight;
    return QPoint(static_cast<int>(std::floor(std::clamp(px, -kDeviceLimit, kDeviceLimit))),
                  static_cast<int>(std::floor(std::clamp(py, -kDeviceLimit, kDeviceLimit))));
}

QPainter& Form::painter()
{
    if (!m_painter.isActive()) {
        m_painter.begin(&m_image);
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_activePen = QPen();
        m_painter.setPen(m_activePen);
    }
    return m_painter;
}

void Form::endPainting()
{
    if (m_painter.isActive())
        m_painter.end();
}

void Form::Cls()
{
    endPainting();
    m_image.fill(m_backColor);
    m_current = QPointF(0, 0);
}

void Form::fillDot(const QPoint& centre, const QColor& colour, int width)
{
    const int first = -(width - 1) / 2;
    const QRgb rgb = colour.rgb();
    for (int dy = first; dy < first + width; ++dy) {
        const int row = centre.y() + dy;
        if (row < 0 || row >= m_image.height())
            continue;
        auto* line = reinterpret_cast<QRgb*>(m_image.scanLine(row));
        for (int dx = first; dx < first + width; ++dx) {
            const int column = centre.x() + dx;
            if (column >= 0 && column < m_image.width())
                line[column] = rgb;
        }
    }
}

void Form::PSet(double x, double y) { PSet(x, y, m_foreColor); }

void Form::PSet(double x, double y, const QColor& colour)
{
    if (!finite(x, y))
        return;
    m_current = QPointF(x, y);
    fillDot(toDevice(x, y), colour, m_drawWidth);
}

void Form::Line(double x1, double y1, double x2, double y2)
{
    m_current = QPointF(x1, y1);
    LineTo(x2, y2);
}

void Form::LineTo(double x2, double y2)
{
    if (!finite(m_current.x(), m_current.y()) || !finite(x2, y2))
        return;
    const QPoint from = toDevice(m_current.x(), m_current.y());
    const QPoint to = toDevice(x2, y2);
    m_current = QPointF(x2, y2);
    if (from == to) {
        fillDot(to, m_foreColor, m_drawWidth);
        return;
    }
    QPainter& p = painter();
    if (m_activePen.color() != m_foreColor || m_activePen.width() != m_drawWidth) {
        m_activePen = QPen(m_foreColor, m_drawWidth, Qt::SolidLine,
                           m_drawWidth > 1 ? Qt::RoundCap : Qt::SquareCap, Qt::RoundJoin);
        p.setPen(m_activePen);
    }
    p.drawLine(from, to);
    afterQtDrawing();
}

QColor Form::Point(double x, double y)
{
    endPainting();
    if (!finite(x, y))
        return QColor();
    const QPoint at = toDevice(x, y);
    if (!m_image.rect().contains(at))
        return QColor();
    return QColor(m_image.pixel(at));
}

void Form::Refresh()
{
    endPainting();
    if (m_client->isVisible())
        m_client->repaint();
}

const QImage& Form::canvasImage()
{
    endPainting();
    return m_image;
}

QRect Form::twipsRect(int left, int top, int width, int height) const
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

QRect Form::logicalRect(int left, int top, int width, int height) const
{
    const double sx = m_image.width() / 640.0;
    const double sy = m_image.height() / 480.0;
    return QRect(qRound(left * sx), qRound(top * sy), qRound(width * sx), qRound(height * sy));
}

QLabel* Form::addLabel(const QString& objectName, const QRect& rect, const FontSpec& font)
{
    auto* label = new QLabel(m_client);
    label->setObjectName(objectName);
    label->setGeometry(rect);
    label->setFont(toQFont(font));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPushButton* Form::addButton(const QString& objectName, const QString& caption, const QRect& rect,
                             const FontSpec& font)
{
    auto* button = new CaptionButton(caption, m_client);
    button->setObjectName(objectName);
    button->setGeometry(rect);
    button->setFont(toQFont(font));
    button->setAutoDefault(false);
    return button;
}

QCheckBox* Form::addCheckBox(const QString& objectName, const QString& caption, const QRect& rect)
{
    auto* box = new QCheckBox(caption, m_client);
    box->setObjectName(objectName);
    box->setGeometry(rect);
    box->setFont(toQFont({QStringLiteral("MS Sans Serif"), 8.25, false}));
    return box;
}

QListWidget* Form::addList(const QString& objectName, const QRect& rect)
{
    auto* list = new QListWidget(m_client);
    list->setObjectName(objectName);
    list->setGeometry(rect);
    list->setFont(toQFont({QStringLiteral("MS Sans Serif"), 8.25, false}));
    list->setUniformItemSizes(true);
    return list;
}

QLineEdit* Form::addTextBox(const QString& objectName, const QRect& rect)
{
    auto* text = new QLineEdit(m_client);
    text->setObjectName(objectName);
    text->setGeometry(rect);
    text->setFont(toQFont({QStringLiteral("MS Sans Serif"), 8.25, false}));
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
            [handler = std::move(handler)] { Runtime::current().invoke(handler); });
    return action;
}

void Form::onClick(QAbstractButton* button, std::function<void()> handler)
{
    connect(button, &QAbstractButton::clicked, this,
            [handler = std::move(handler)] { Runtime::current().invoke(handler); });
}

void Form::closeEvent(QCloseEvent* event)
{
    event->ignore();
    Runtime::current().closeBox(this);
}

} // namespace forms
