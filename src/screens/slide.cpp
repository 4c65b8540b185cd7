// A screen's drawing laid out for a 16:9 slide: one painting, written as a PNG picture or as SVG
// and PDF vectors whose text stays text.
#include "screens/slide.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace screens {
namespace {

// The slide is laid out on a page 1600 units across; every size below is in those units.
constexpr double kLayoutWidth = 1600;
constexpr double kMargin = 40;
constexpr double kTitleSize = 34;
constexpr double kTextSize = 21;
constexpr double kAxisSize = 17;
constexpr double kColumnWidth = 430;
constexpr double kColumnGap = 36;
constexpr double kParagraphGap = 22;
constexpr double kSwatch = 44;
// Room beside the plot for one column of axis values, below it for a row, above it for titles.
constexpr double kAxisColumn = 78;
constexpr double kAxisRow = 40;
constexpr double kTitleRow = 34;
const QColor kNoteBackground(255, 255, 236);

QFont fontOf(double pixels, bool bold = false)
{
    QFont font;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    font.setBold(bold);
    return font;
}

int sideCount(const PlotAxes& axes, Axis::Side side)
{
    return static_cast<int>(std::count_if(axes.axes.begin(), axes.axes.end(),
                                          [side](const Axis& axis) { return axis.side == side; }));
}

// The plot's place on the page: the largest box of the window's proportions that leaves room for
// the axes' values and the column beside it.
QRectF plotBox(const SlideContent& slide, double unit, double top, const QSizeF& page)
{
    const QRectF& crop = slide.axes.plot;
    const double left = (kMargin + kAxisColumn * sideCount(slide.axes, Axis::Side::Left)) * unit;
    const double right = page.width()
        - (kMargin + kColumnWidth + kColumnGap
           + kAxisColumn * sideCount(slide.axes, Axis::Side::Right))
            * unit;
    const QRectF room(QPointF(left, top + kTitleRow * unit),
                      QPointF(right, page.height() - (kMargin + kAxisRow) * unit));
    // Logical units are not square on the window: keep the window's proportions.
    const double across = crop.width() * slide.window.width() / slide.canvas.width();
    const double down = crop.height() * slide.window.height() / slide.canvas.height();
    const double fit = std::min(room.width() / across, room.height() / down);
    return {room.topLeft(), QSizeF(across * fit, down * fit)};
}

void paintPlot(QPainter& painter, const SlideContent& slide, const QRectF& box, double unit)
{
    const QRectF& crop = slide.axes.plot;
    const double sx = box.width() / crop.width();
    const double sy = box.height() / crop.height();
    const QRectF canvas(box.left() - crop.left() * sx, box.top() - crop.top() * sy,
                        slide.canvas.width() * sx, slide.canvas.height() * sy);
    painter.save();
    // The frame's line is as wide as its pen: a little beyond the crop keeps it whole.
    painter.setClipRect(box.adjusted(-2 * sx, -2 * sy, 2 * sx, 2 * sy));
    if (slide.paintDrawing)
        slide.paintDrawing(painter, canvas);
    painter.restore();
    AxisLayout layout;
    layout.toDevice = QTransform(sx, 0, 0, sy, canvas.left(), canvas.top());
    layout.font = fontOf(kAxisSize * unit);
    layout.inWindow = false;
    paintAxes(painter, slide.axes, layout);
}

// Text wrapped to the column's width from `top` down; returns where the next paragraph starts.
double paintParagraph(QPainter& painter, const QString& text, const QFont& font,
                      const QRectF& column, double top, double gap)
{
    painter.setFont(font);
    const QRectF room(column.left(), top, column.width(), 1e6);
    const QRectF used = painter.boundingRect(room, Qt::TextWordWrap | Qt::AlignLeft, text);
    painter.drawText(room, Qt::TextWordWrap | Qt::AlignLeft, text);
    return used.bottom() + gap;
}

double paintLegend(QPainter& painter, const SlideContent& slide, const QRectF& column, double top,
                   double unit)
{
    const QFont font = fontOf(kTextSize * unit);
    const double height = QFontMetricsF(font).height();
    for (const LegendLine& line : slide.legend) {
        const double middle = top + height / 2;
        painter.setPen(QPen(line.colour, 4 * unit, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(column.left(), middle),
                         QPointF(column.left() + kSwatch * unit, middle));
        painter.setPen(Qt::black);
        const QRectF text = column.adjusted((kSwatch + 10) * unit, 0, 0, 0);
        top = paintParagraph(painter, line.text, font, text, top, 6 * unit);
    }
    return top + kParagraphGap * unit;
}

double paintCaptions(QPainter& painter, const SlideContent& slide, const QRectF& column, double top,
                     double unit)
{
    painter.setPen(Qt::black);
    for (const QString& caption : slide.captions)
        top = paintParagraph(painter, caption, fontOf(kTextSize * unit), column, top, 8 * unit);
    return top + kParagraphGap * unit;
}

// The measurements box as the window shows it: its rich text on its pale box.
void paintNote(QPainter& painter, const SlideContent& slide, const QRectF& column, double top,
               double unit)
{
    if (slide.note.isEmpty())
        return;
    QTextDocument note;
    note.setDefaultFont(fontOf(kTextSize * unit * 0.85));
    note.setDocumentMargin(8 * unit);
    note.setHtml(slide.note);
    note.setTextWidth(column.width());
    const QRectF box(QPointF(column.left(), top), QSizeF(column.width(), note.size().height()));
    painter.save();
    painter.fillRect(box, kNoteBackground);
    painter.setPen(QPen(Qt::black, unit));
    painter.drawRect(box);
    painter.translate(box.topLeft());
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    note.documentLayout()->draw(&painter, context);
    painter.restore();
}

} // namespace

QSize slidePixels(const SlideContent& slide, int scale)
{
    const int width =
        slide.window.width() * std::clamp(scale, forms::kSlideScaleLeast, forms::kSlideScaleMost);
    return {width, static_cast<int>(std::lround(width * 9.0 / 16.0))};
}

void paintSlide(QPainter& painter, const SlideContent& slide, const QSizeF& page)
{
    const double unit = page.width() / kLayoutWidth;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(QRectF(QPointF(0, 0), page), Qt::white);
    painter.setPen(Qt::black);
    const QRectF whole(QPointF(kMargin * unit, kMargin * unit),
                       QPointF(page.width() - kMargin * unit, page.height() - kMargin * unit));
    const double top = paintParagraph(painter, slide.title, fontOf(kTitleSize * unit, true), whole,
                                      whole.top(), kParagraphGap * unit);
    const QRectF box = plotBox(slide, unit, top, page);
    paintPlot(painter, slide, box, unit);
    const QRectF column(QPointF(whole.right() - kColumnWidth * unit, top), whole.bottomRight());
    double next = paintLegend(painter, slide, column, column.top() + kTitleRow * unit, unit);
    next = paintCaptions(painter, slide, column, next, unit);
    paintNote(painter, slide, column, next, unit);
    painter.restore();
}

QByteArray slideFile(const SlideContent& slide, forms::PictureFormat format, int scale)
{
    const QSize size = slidePixels(slide, scale);
    const auto paint = [&](QPainter& painter) { paintSlide(painter, slide, QSizeF(size)); };
    switch (format) {
    case forms::PictureFormat::Png: {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            paint(painter);
        }
        return forms::pngOf(image);
    }
    case forms::PictureFormat::Svg:
        return forms::svgOf(paint, size, slide.title);
    case forms::PictureFormat::Pdf:
        return forms::pdfOf(paint, size, slide.title);
    }
    return {};
}

} // namespace screens
