#include "forms/form.h"

#include "forms/canvas_layer.h"
#include "forms/runtime.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <cmath>

namespace forms {
namespace {

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

// What a window's layout sizes are multiplied by so that, at the desktop's scale factor, the
// whole window (frame and menu bar included) fits the screen. A window stays at its designed
// size where it fits, or where even one device pixel per layout pixel would not fit.
double fittingZoom(const QSize& client, double deviceRatio)
{
    // A title bar, borders and a menu bar, in layout pixels.
    constexpr int kFrameWidth = 16;
    constexpr int kFrameHeight = 72;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || deviceRatio <= 1 || client.isEmpty())
        return 1;
    const QSize room = screen->availableGeometry().size();
    const double across = double(room.width() - kFrameWidth) / client.width();
    const double down = double(room.height() - kFrameHeight) / client.height();
    return std::clamp(std::min(across, down), 1 / deviceRatio, 1.0);
}

double screenDeviceRatio()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? std::max(1.0, screen->devicePixelRatio()) : 1.0;
}

} // namespace

int twipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

// The client area: shows the persistent image; controls are its children. The image holds one
// pixel for each device pixel, so it is copied unscaled at any desktop scale factor.
class ClientArea : public QWidget {
public:
    explicit ClientArea(Form* form) : QWidget(form), m_form(form) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        m_form->m_repaintPending = false;
        QPainter painter(this);
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(size())), m_form->canvasImage());
        if (m_form->m_layer)
            m_form->m_layer->paintOver(painter);
    }

private:
    Form* m_form;
};

Form::Form(const QString& name, int clientWidthTwips, int clientHeightTwips)
    : m_name(name), m_deviceRatio(screenDeviceRatio())
{
    setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose, false);
    const QSize designed(twipsToPixels(clientWidthTwips), twipsToPixels(clientHeightTwips));
    m_zoom = fittingZoom(designed, m_deviceRatio);
    m_clientSize = m_zoom == 1 ? designed
                               : QSize(qRound(designed.width() * m_zoom), qRound(designed.height() * m_zoom));
    m_image = QImage(qRound(m_clientSize.width() * m_deviceRatio),
                     qRound(m_clientSize.height() * m_deviceRatio), QImage::Format_RGB32);
    m_image.fill(Qt::white);
    m_scaleWidth = m_clientSize.width();
    m_scaleHeight = m_clientSize.height();
    m_client = new ClientArea(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setFixedSize(m_clientSize);
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
    m_centred = true;
    placeCentred();
}

// Centres the outer window, frame included. The window manager frames a window only once it is
// shown, so the frame is taken into account again as soon as it is known.
void Form::placeCentred()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect display = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QSize outer = frameGeometry().size();
    const int top = display.height() / 2 - outer.height() / 2;
    const int left = display.width() / 2 - outer.width() / 2;
    m_centredFrameMargins = outer - size();
    move(display.left() + left, display.top() + top);
}

bool Form::event(QEvent* event)
{
    const bool placed = event->type() == QEvent::Move || event->type() == QEvent::Resize
        || event->type() == QEvent::Show;
    const bool handled = QMainWindow::event(event);
    if (placed && m_centred && isVisible() && frameGeometry().size() - size() != m_centredFrameMargins)
        placeCentred();
    return handled;
}

void Form::keyPressEvent(QKeyEvent* event)
{
    const bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QPushButton* target = !plain ? nullptr
        : enter ? m_defaultButton
        : event->key() == Qt::Key_Escape ? m_cancelButton
        : nullptr;
    if (target && target->isVisible() && target->isEnabled()) {
        event->accept();
        target->animateClick();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void Form::Show(int modal) { runtime().show(this, modal != 0); }

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

// Drawing goes into the persistent image; the window shows it once the running handler is back
// in the event loop (or at once, with Refresh).
void Form::canvasChanged()
{
    if (m_repaintPending)
        return;
    m_repaintPending = true;
    m_client->update();
}

int Form::devicePenWidth() const
{
    return std::max(1, static_cast<int>(std::lround(m_drawWidth * m_deviceRatio * m_zoom)));
}

bool Form::finite(double x, double y) const
{
    if (std::isfinite(x) && std::isfinite(y))
        return true;
    if (m_runtime)
        m_runtime->countNonFinite();
    return false;
}

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
    m_record.clear(m_backColor);
    m_current = QPointF(0, 0);
    canvasChanged();
}

// The pen width as drawn, in logical units across, so a replay at any size draws it alike.
void Form::record(DrawingOp::Kind kind, const QPointF& from, const QPointF& to, const QColor& colour)
{
    const double width = devicePenWidth() / m_deviceRatio * m_scaleWidth / m_clientSize.width();
    m_record.add({kind, from, to, colour.rgb(), width, m_scaleWidth, m_scaleHeight});
}

CanvasLayer* Form::existingCanvasLayer() const { return m_layer.data(); }

CanvasLayer& Form::canvasLayer()
{
    if (!m_layer)
        m_layer = new CanvasLayer(*this);
    return *m_layer;
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
    record(DrawingOp::Kind::Point, m_current, m_current, colour);
    fillDot(toDevice(x, y), colour, devicePenWidth());
    canvasChanged();
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
    record(DrawingOp::Kind::Line, m_current, QPointF(x2, y2), m_foreColor);
    m_current = QPointF(x2, y2);
    canvasChanged();
    const int width = devicePenWidth();
    if (from == to) {
        fillDot(to, m_foreColor, width);
        return;
    }
    QPainter& p = painter();
    if (m_activePen.color() != m_foreColor || m_activePen.width() != width) {
        m_activePen = QPen(m_foreColor, width, Qt::SolidLine, width > 1 ? Qt::RoundCap : Qt::SquareCap,
                           Qt::RoundJoin);
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

QImage Form::shownPicture()
{
    // Repaints that are still queued are what the window is about to show.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    const QRect client(m_client->mapTo(this, QPoint(0, 0)), m_client->size());
    QScreen* shownOn = screen();
    // Offscreen, the screen's picture of a window is its backing store: what was last painted and
    // flushed. A window not exposed yet is painted whole when it is, so its painting is its picture.
    const bool exposed = isVisible() && windowHandle() && windowHandle()->isExposed();
    if (QGuiApplication::platformName() == QLatin1String("offscreen") && shownOn && exposed)
        return shownOn->grabWindow(windowHandle()->winId(), client.x(), client.y(), client.width(),
                                   client.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    return m_client->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void Form::closeEvent(QCloseEvent* event)
{
    event->ignore();
    runtime().closeBox(this);
}

} // namespace forms
