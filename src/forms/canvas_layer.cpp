#include "forms/canvas_layer.h"

#include "forms/form.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace forms {
namespace {

// How far the read-out stands from the pointer, so that it never hides the point it describes.
const QPoint kReadoutOffset(14, 18);
// The note box keeps this far (in logical pixels) inside its area.
constexpr int kNoteInset = 6;

QLabel* layerLabel(QWidget* client, const QString& name, const QColor& background,
                   const QColor& text)
{
    auto* label = new QLabel(client);
    label->setObjectName(name);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setFrameShape(QFrame::Box);
    label->setMargin(3);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    label->setPalette(palette);
    label->hide();
    return label;
}

// Pixels of a part of the canvas that are not its background.
int drawnPixels(const QImage& canvas, const QRect& part, QRgb background)
{
    const QRect inside = part.intersected(canvas.rect());
    int count = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += line[x] != background;
    }
    return count;
}

} // namespace

CanvasLayer& CanvasLayer::of(Form& form)
{
    if (CanvasLayer* layer = existing(form))
        return *layer;
    return *new CanvasLayer(form);
}

CanvasLayer* CanvasLayer::existing(const Form& form)
{
    return qobject_cast<CanvasLayer*>(form.overlay());
}

CanvasLayer::CanvasLayer(Form& form)
    : CanvasOverlay(&form), m_form(form), m_client(form.centralWidget())
{
    form.setOverlay(this);
    const QPalette tips = m_client->palette();
    m_readout = layerLabel(m_client, QStringLiteral("canvasReadout"),
                           tips.color(QPalette::ToolTipBase), tips.color(QPalette::ToolTipText));
    m_readout->setTextFormat(Qt::RichText);
    m_note =
        layerLabel(m_client, QStringLiteral("canvasNote"), QColor(255, 255, 236, 235), Qt::black);
    m_note->setTextFormat(Qt::RichText);
    // The box is taken hold of with the mouse; a right click on it still opens the menu.
    m_note->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    m_note->setCursor(Qt::SizeAllCursor);
    m_legend =
        layerLabel(m_client, QStringLiteral("canvasLegend"), QColor(255, 255, 255, 235), Qt::black);
    m_legend->setTextFormat(Qt::RichText);
    m_menu = new QMenu(&form);
    m_menu->setObjectName(QStringLiteral("canvasMenu"));
    m_client->setMouseTracking(true);
    m_client->installEventFilter(this);
    connect(&form, &Form::layoutScaled, this, &CanvasLayer::scaleText);
    scaleText();
    // Controls with hover effects (a list's rows) keep the pointer's moves to themselves; the
    // read-out follows the pointer over them too.
    qApp->installEventFilter(this);
}

CanvasLayer::~CanvasLayer() = default;

void CanvasLayer::setUnderlay(Underlay underlay)
{
    if (!underlay && !m_underlay)
        return; // none before and none now: nothing to paint again
    m_underlay = std::move(underlay);
    refreshUnderlay();
}

void CanvasLayer::refreshUnderlay()
{
    m_underlayStale = true;
    m_underlayImage = QImage();
    m_client->update();
}

// The underlay as painted, cleared wherever the canvas shows anything but its background.
QImage CanvasLayer::underlayShown()
{
    const QImage& canvas = m_form.shownCanvas();
    if (m_underlayStale || m_underlayImage.size() != canvas.size()) {
        m_underlayImage = QImage(canvas.size(), QImage::Format_ARGB32_Premultiplied);
        m_underlayImage.fill(Qt::transparent);
        QPainter painter(&m_underlayImage);
        m_underlay(painter, QRectF(QPointF(0, 0), QSizeF(canvas.size())));
        m_underlayStale = false;
    }
    QImage shown = m_underlayImage.copy();
    const QRgb background = m_form.drawingRecord().background().rgb();
    for (int y = 0; y < shown.height(); ++y) {
        const auto* drawn = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        auto* line = reinterpret_cast<QRgb*>(shown.scanLine(y));
        for (int x = 0; x < shown.width(); ++x)
            if (drawn[x] != background)
                line[x] = 0;
    }
    return shown;
}

void CanvasLayer::setOverpaint(Underlay overpaint)
{
    if (!overpaint && !m_overpaint)
        return;
    m_overpaint = std::move(overpaint);
    m_client->update();
}

void CanvasLayer::paintOver(QPainter& painter)
{
    const QRectF client(QPointF(0, 0), QSizeF(m_client->size()));
    if (m_underlay)
        painter.drawImage(client, underlayShown());
    if (m_overpaint)
        m_overpaint(painter, client);
    paintMarkers(painter);
}

void CanvasLayer::setMarkers(std::vector<Marker> markers)
{
    if (markers.empty() && m_markers.empty())
        return;
    m_markers = std::move(markers);
    m_client->update();
}

// A dot ringed in white, so that it stands out on a trace of its own colour and on the grid.
void CanvasLayer::paintMarkers(QPainter& painter) const
{
    constexpr double kRadius = 3.5;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Marker& marker : m_markers) {
        painter.setPen(QPen(Qt::white, 1.5));
        painter.setBrush(marker.colour);
        painter.drawEllipse(toClient(marker.logical), kRadius, kRadius);
    }
    painter.restore();
}

void CanvasLayer::setNote(const QString& richText, const QRectF& area)
{
    m_noteArea = area;
    if (richText.isEmpty()) {
        m_note->hide();
        placeLegend();
        return;
    }
    m_note->setText(richText);
    m_note->adjustSize();
    placeNote();
    m_note->show();
    m_note->raise();
    placeLegend();
}

void CanvasLayer::setNotePlace(std::optional<QPointF> place)
{
    m_notePlace = place;
    if (m_note->isVisible()) {
        placeNote();
        placeLegend();
    }
}

void CanvasLayer::setNoteMoved(std::function<void(const QPointF&)> moved)
{
    m_noteMoved = std::move(moved);
}

void CanvasLayer::setLegend(const QString& richText)
{
    m_legend->setText(richText);
    m_legend->setVisible(!richText.isEmpty());
    m_legend->adjustSize();
    placeLegend();
}

QRect CanvasLayer::noteAreaOnClient() const
{
    const QRectF scaled(toClient(m_noteArea.topLeft()), toClient(m_noteArea.bottomRight()));
    return scaled.toRect().adjusted(kNoteInset, kNoteInset, -kNoteInset, -kNoteInset);
}

// The corners of the note's area where a box of this size would stand, the one that covers the
// fewest drawn pixels first; the top right first on a tie.
std::vector<QPoint> CanvasLayer::cornersBestFirst(const QSize& box) const
{
    const QRect area = noteAreaOnClient();
    std::vector<QPoint> corners{QPoint(area.right() - box.width(), area.top()),
                                QPoint(area.left(), area.top()),
                                QPoint(area.right() - box.width(), area.bottom() - box.height()),
                                QPoint(area.left(), area.bottom() - box.height())};
    const QImage& canvas = m_form.canvasImage();
    const double ratio = canvas.width() / double(m_client->width());
    const QRgb background = m_form.drawingRecord().background().rgb();
    std::vector<int> drawn;
    for (const QPoint& corner : corners) {
        const QRect device(QPointF(corner * ratio).toPoint(), QSizeF(box * ratio).toSize());
        drawn.push_back(drawnPixels(canvas, device, background));
    }
    std::vector<std::size_t> order{0, 1, 2, 3};
    std::stable_sort(order.begin(), order.end(),
                     [&drawn](std::size_t a, std::size_t b) { return drawn[a] < drawn[b]; });
    std::vector<QPoint> best;
    for (std::size_t i : order)
        best.push_back(corners[i]);
    return best;
}

// Where the user left the box, kept inside the client area; else the best corner.
void CanvasLayer::placeNote()
{
    if (m_notePlace) {
        const QPoint at = toClient(*m_notePlace).toPoint();
        const QPoint most(m_client->width() - m_note->width(),
                          m_client->height() - m_note->height());
        m_note->move(std::clamp(at.x(), 0, std::max(0, most.x())),
                     std::clamp(at.y(), 0, std::max(0, most.y())));
        return;
    }
    m_note->move(cornersBestFirst(m_note->size()).front());
}

// The best corner the note leaves free; the best corner where the note covers them all.
void CanvasLayer::placeLegend()
{
    if (!m_legend->isVisible())
        return;
    const std::vector<QPoint> corners = cornersBestFirst(m_legend->size());
    QPoint chosen = corners.front();
    for (const QPoint& corner : corners) {
        if (!m_note->isVisible()
            || !QRect(corner, m_legend->size()).intersects(m_note->geometry())) {
            chosen = corner;
            break;
        }
    }
    m_legend->move(chosen);
    m_legend->raise();
}

// Press, move and release of the left button on the box drag it; the drop is reported.
bool CanvasLayer::dragNote(QEvent* event)
{
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() != Qt::LeftButton)
            return false;
        m_dragFrom = mouse->position().toPoint();
        return true;
    case QEvent::MouseMove: {
        if (!m_dragFrom)
            return false;
        const QPoint at = m_note->mapTo(m_client, mouse->position().toPoint()) - *m_dragFrom;
        m_notePlace = cornerToLogical(at);
        placeNote();
        placeLegend();
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (mouse->button() != Qt::LeftButton || !m_dragFrom)
            return false;
        m_dragFrom.reset();
        m_notePlace = cornerToLogical(m_note->pos());
        if (m_noteMoved)
            m_noteMoved(*m_notePlace);
        return true;
    default:
        return false;
    }
}

void CanvasLayer::setTextEnlargement(double factor)
{
    m_textEnlargement = factor;
    scaleText();
}

// The read-out and the note keep to the window's scale, so that on a window shrunk to fit the
// screen they do not cover its plot.
void CanvasLayer::scaleText()
{
    const double scale = m_form.textScale() * m_textEnlargement;
    for (QLabel* label : {m_readout, m_note}) {
        QFont font = m_client->font();
        font.setPointSizeF(font.pointSizeF() * scale);
        if (scale == 1)
            label->setFont(QFont());
        else
            label->setFont(font);
        label->adjustSize();
    }
    if (m_note->isVisible())
        placeNote();
    if (m_readout->isVisible() && m_pointer.x() >= 0)
        pointerAt(m_pointer);
}

QPointF CanvasLayer::toClient(const QPointF& logical) const
{
    return QPointF(logical.x() * m_client->width() / m_form.scaleWidth(),
                   logical.y() * m_client->height() / m_form.scaleHeight());
}

QPointF CanvasLayer::toDevice(const QPointF& logical) const
{
    return toClient(logical) * m_client->devicePixelRatioF();
}

void CanvasLayer::setPointerText(PointerText text) { m_pointerText = std::move(text); }

QPointF CanvasLayer::cornerToLogical(const QPoint& clientPoint) const
{
    return QPointF(clientPoint.x() * m_form.scaleWidth() / m_client->width(),
                   clientPoint.y() * m_form.scaleHeight() / m_client->height());
}

QPointF CanvasLayer::toLogical(const QPoint& clientPoint) const
{
    return QPointF((clientPoint.x() + 0.5) * m_form.scaleWidth() / m_client->width(),
                   (clientPoint.y() + 0.5) * m_form.scaleHeight() / m_client->height());
}

// Shows the read-out beside the pointer, turned to the other side where it would leave the canvas.
void CanvasLayer::pointerAt(const QPoint& clientPoint)
{
    m_pointer = clientPoint;
    const bool asked = m_pointerText && !m_menu->isVisible();
    const QString text = asked ? m_pointerText(toLogical(clientPoint)) : QString();
    if (text.isEmpty()) {
        m_readout->hide();
        setMarkers({});
        return;
    }
    m_readout->setText(text);
    m_readout->adjustSize();
    QPoint at = clientPoint + kReadoutOffset;
    if (at.x() + m_readout->width() > m_client->width())
        at.setX(clientPoint.x() - kReadoutOffset.x() - m_readout->width());
    if (at.y() + m_readout->height() > m_client->height())
        at.setY(clientPoint.y() - kReadoutOffset.y() - m_readout->height());
    m_readout->move(at);
    m_readout->show();
    m_readout->raise();
}

void CanvasLayer::setMenu(MenuOffer offer)
{
    m_offer = std::move(offer);
    if (m_menuKey)
        return;
    m_menuKey = new QAction(&m_form);
    m_menuKey->setObjectName(QStringLiteral("canvasMenuKey"));
    m_menuKey->setShortcuts({QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)});
    m_form.addAction(m_menuKey);
    connect(m_menuKey, &QAction::triggered, this, [this] { openMenu(menuPointFromKeyboard()); });
}

// From the keyboard the menu opens at the pointer when it is over the canvas, else mid-canvas.
QPoint CanvasLayer::menuPointFromKeyboard() const
{
    if (m_client->rect().contains(m_pointer))
        return m_pointer;
    return m_client->rect().center();
}

void CanvasLayer::openMenu(const QPoint& clientPoint)
{
    if (!m_offer || m_menu->isVisible())
        return;
    const QList<QAction*> actions = m_offer();
    if (actions.isEmpty())
        return;
    m_menu->clear();
    m_menu->addActions(actions);
    fitMenuInside(*m_menu, m_form.size(), m_form.textScale());
    m_readout->hide();
    setMarkers({});
    m_menu->popup(m_client->mapToGlobal(clientPoint));
}

bool CanvasLayer::runAction(const QString& name)
{
    if (!m_offer)
        return false;
    QList<QAction*> actions = m_offer();
    for (qsizetype i = 0; i < actions.size(); ++i) {
        QAction* action = actions[i];
        if (action->menu())
            actions << action->menu()->actions(); // a submenu's entries are offered too
        if (action->objectName() == name && action->isEnabled()) {
            action->trigger();
            return true;
        }
    }
    return false;
}

ExportOutcome CanvasLayer::exportAs(const QString& what, const QString& fileName) const
{
    return m_exporter ? m_exporter(what, fileName) : ExportOutcome{};
}

bool CanvasLayer::eventFilter(QObject* watched, QEvent* event)
{
    const bool mouse = event->type() == QEvent::MouseButtonPress
        || event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonRelease;
    if (watched == m_note && mouse && dragNote(event))
        return true;
    if (event->type() == QEvent::MouseMove) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const QPointF global = static_cast<QMouseEvent*>(event)->globalPosition();
        if (widget && widget->window() == &m_form)
            pointerAt(m_client->mapFromGlobal(global.toPoint()));
        return false;
    }
    if (watched != m_client)
        return false;
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Show:
        // The boxes stand where the canvas is now.
        if (m_note->isVisible())
            placeNote();
        placeLegend();
        break;
    case QEvent::Leave:
        m_pointer = QPoint(-1, -1);
        m_readout->hide();
        setMarkers({});
        break;
    case QEvent::ContextMenu: {
        if (!m_offer)
            return false;
        auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        const bool byKeyboard = menuEvent->reason() == QContextMenuEvent::Keyboard;
        openMenu(byKeyboard ? menuPointFromKeyboard() : menuEvent->pos());
        return true;
    }
    default:
        break;
    }
    return false;
}

} // namespace forms
