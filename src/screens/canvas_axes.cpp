// The canvas tools' axes over the drawing and the slide of it: the values painted over the canvas
// when asked for, and the slide that always has them.
#include "screens/canvas_tools.h"
#include "screens/measurements_box.h"

#include "forms/form.h"
#include "screens/slide.h"

#include <QApplication>
#include <QClipboard>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>

#include <cmath>

namespace screens {
namespace {

// The axes' values are this many pixels high on a window at its designed size.
constexpr double kAxisFontPixels = 10;

bool isLayerLabel(const QWidget* widget)
{
    const QString name = widget->objectName();
    return name == QLatin1String("canvasReadout") || name == QLatin1String("canvasNote")
        || name == QLatin1String("canvasLegend");
}

// The window's own controls over the canvas: a label must not hide under one.
std::vector<QRectF> controlsOver(const QWidget& client)
{
    std::vector<QRectF> taken;
    for (const QWidget* child : client.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible() && !isLayerLabel(child))
            taken.emplace_back(child->geometry());
    return taken;
}

// A heading over a list (the coefficients' panel) says nothing without the list.
bool headsAList(const QLabel* label)
{
    const auto lists = label->parentWidget()->findChildren<QListWidget*>();
    return std::any_of(lists.begin(), lists.end(), [label](const QListWidget* list) {
        return list->isVisible() && label->geometry().contains(list->geometry());
    });
}

} // namespace

void CanvasTools::showAxes()
{
    forms::CanvasLayer& layer = forms::CanvasLayer::of(m_form);
    // The choice holds across windows: a new window's entry says what it shows.
    m_axes->setChecked(m_state.showAxes);
    if (!m_state.showAxes) {
        layer.setOverpaint({});
        return;
    }
    layer.setOverpaint([this](QPainter& painter, const QRectF& client) {
        paintAxes(painter, m_content.axes(), windowAxisLayout(client));
    });
}

// Logical units onto the client area as the window shows it now, at any size.
AxisLayout CanvasTools::windowAxisLayout(const QRectF& client) const
{
    AxisLayout layout;
    layout.toDevice = QTransform::fromScale(client.width() / m_form.scaleWidth(),
                                            client.height() / m_form.scaleHeight());
    const double zoom = client.height() / m_form.clientPixels().height();
    layout.font.setPixelSize(std::max(1, static_cast<int>(std::lround(kAxisFontPixels * zoom))));
    layout.inWindow = true;
    if (const QWidget* area = m_form.centralWidget())
        layout.taken = controlsOver(*area);
    return layout;
}

// Each value as shown: its text, its value and the middle of its box in the client's pixels.
QJsonArray CanvasTools::axesState() const
{
    QJsonArray shown;
    const QWidget* area = m_form.centralWidget();
    if (!area)
        return shown;
    const AxisLayout layout = windowAxisLayout(QRectF(QPointF(0, 0), QSizeF(area->size())));
    for (const AxisLabel& label : layOutAxes(m_content.axes(), layout)) {
        QJsonObject entry{{QStringLiteral("text"), label.text},
                          {QStringLiteral("x"), label.box.center().x()},
                          {QStringLiteral("y"), label.box.center().y()}};
        if (!label.isTitle)
            entry.insert(QStringLiteral("value"), label.value);
        shown.append(entry);
    }
    return shown;
}

QString CanvasTools::axesStep(const QString& onOrOff)
{
    if (onOrOff != QLatin1String("on") && onOrOff != QLatin1String("off"))
        return tr("--axes takes on or off");
    m_state.showAxes = onOrOff == QLatin1String("on");
    showAxes();
    return {};
}

// The window's captions, top to bottom and left to right, as they read.
QStringList CanvasTools::captions() const
{
    const QWidget* area = m_form.centralWidget();
    if (!area)
        return {};
    auto labels = area->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    std::stable_sort(labels.begin(), labels.end(), [](const QLabel* a, const QLabel* b) {
        return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });
    QStringList texts;
    for (const QLabel* label : labels) {
        const QString text = label->text().simplified();
        if (label->isVisible() && !text.isEmpty() && !isLayerLabel(label) && !headsAList(label))
            texts << text;
    }
    return texts;
}

SlideContent CanvasTools::slideContent() const
{
    SlideContent slide;
    slide.title = m_form.caption();
    slide.window = m_form.clientPixels();
    slide.canvas = QSizeF(m_form.scaleWidth(), m_form.scaleHeight());
    slide.axes = m_content.axes();
    slide.captions = captions();
    slide.legend = legend();
    if (m_content.measures() && m_state.showMeasurements)
        if (const std::vector<Figure> figures = m_content.figures(); anyMeasured(figures))
            slide.note = measurementsHtml(figures, heldShown());
    slide.paintDrawing = [this](QPainter& painter, const QRectF& canvas) {
        paintHeld(painter, canvas);
        m_form.drawingRecord().replay(painter, canvas, {.fillBackground = false, .recolour = {}});
    };
    return slide;
}

// The slide as a picture for pasting, and as SVG for programs that take vectors.
void CanvasTools::copySlide()
{
    const SlideContent slide = slideContent();
    auto* data = new QMimeData;
    QImage image;
    image.loadFromData(slideFile(slide, forms::PictureFormat::Png, m_state.slideScale), "PNG");
    data->setImageData(image);
    data->setData(QStringLiteral("image/svg+xml"),
                  slideFile(slide, forms::PictureFormat::Svg, m_state.slideScale));
    QApplication::clipboard()->setMimeData(data);
}

} // namespace screens
