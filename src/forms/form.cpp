// The window: its size and place on the screen, its keys, its close box and the picture it shows.
#include "forms/form.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace forms {
namespace {

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
    explicit ClientArea(Form* form) : QWidget(form), m_form(form) { }

protected:
    void paintEvent(QPaintEvent*) override
    {
        m_form->m_repaintPending = false;
        m_form->m_unshown = QRect();
        QPainter painter(this);
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(size())), m_form->shownCanvas());
        if (m_form->m_overlay)
            m_form->m_overlay->paintOver(painter);
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        m_form->layOutControls();
        emit m_form->layoutScaled();
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
    m_clientSize = m_zoom == 1
        ? designed
        : QSize(qRound(designed.width() * m_zoom), qRound(designed.height() * m_zoom));
    m_image = QImage(qRound(m_clientSize.width() * m_deviceRatio),
                     qRound(m_clientSize.height() * m_deviceRatio), QImage::Format_RGB32);
    m_image.fill(Qt::white);
    m_pixels = m_image.size();
    m_bytesPerLine = m_image.bytesPerLine();
    m_scaleWidth = m_clientSize.width();
    m_scaleHeight = m_clientSize.height();
    m_client = new ClientArea(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setFixedSize(m_clientSize);
    m_client->setAutoFillBackground(false);
    setCentralWidget(m_client);
}

Form::~Form() { endPainting(); }

void Form::allowResizing()
{
    m_client->setMinimumSize(m_clientSize);
    m_client->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setMinimumSize(size());
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

double Form::layoutScale() const
{
    return std::min(double(m_client->width()) / m_clientSize.width(),
                    double(m_client->height()) / m_clientSize.height());
}

void Form::setTraceWidening(double factor)
{
    if (factor == m_traceWidening)
        return;
    m_traceWidening = factor;
    ++m_canvasVersion;
    m_client->update();
}

// Drawn again only when the drawing or the size has changed since the last time.
const QImage& Form::shownCanvas()
{
    const QImage& image = canvasImage();
    const QSize shown(qRound(m_client->width() * m_deviceRatio),
                      qRound(m_client->height() * m_deviceRatio));
    if (shown == image.size() && m_traceWidening == 1)
        return image;
    if (m_shown.size() != shown || m_shownVersion != m_canvasVersion) {
        m_shown = QImage(shown, QImage::Format_RGB32);
        QPainter painter(&m_shown);
        DrawingRecord::ReplayOptions options;
        options.traceWidening = m_traceWidening;
        m_record.replay(painter, QRectF(QPointF(0, 0), QSizeF(shown)), options);
        m_shownVersion = m_canvasVersion;
    }
    return m_shown;
}

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
    // Nothing of the window is read after any other event: a deferred delete has freed it.
    if (!placed)
        return handled;
    // The frame is looked at only for a placed, centred and shown window.
    const auto frameChanged = [this] {
        return frameGeometry().size() - size() != m_centredFrameMargins;
    };
    const bool sized = isMaximized() || isFullScreen();
    if (m_centred && isVisible() && !sized && frameChanged())
        placeCentred();
    return handled;
}

void Form::keyPressEvent(QKeyEvent* event)
{
    const bool plain =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QPushButton* target = !plain         ? nullptr
        : enter                          ? m_defaultButton
        : event->key() == Qt::Key_Escape ? m_cancelButton
                                         : nullptr;
    if (target && target->isVisible() && target->isEnabled()) {
        event->accept();
        target->animateClick();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void Form::Show(int modal)
{
    if (m_host)
        m_host->show(this, modal != 0);
}

void Form::setMousePointer(int pointer)
{
    m_mousePointer = pointer;
    if (pointer == 11)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

QImage Form::shownPicture()
{
    // Repaints that are still queued are what the window is about to show.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    const QRect client(m_client->mapTo(this, QPoint(0, 0)), m_client->size());
    QScreen* shownOn = screen();
    // Offscreen, the screen's picture of a window is its backing store: what was last painted and
    // flushed. A window not exposed yet is painted whole when it is, so its painting is its
    // picture.
    const bool exposed = isVisible() && windowHandle() && windowHandle()->isExposed();
    if (QGuiApplication::platformName() == QLatin1String("offscreen") && shownOn && exposed)
        return shownOn
            ->grabWindow(windowHandle()->winId(), client.x(), client.y(), client.width(),
                         client.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    return m_client->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void Form::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (m_host)
        m_host->closeBox(this);
}

} // namespace forms
