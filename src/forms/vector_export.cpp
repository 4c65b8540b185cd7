#include "forms/vector_export.h"

#include "forms/drawing_record.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace forms {
namespace {

// The resolution a canvas's logical pixels stand for on paper.
constexpr int kPixelsPerInch = 96;

} // namespace

std::optional<PictureFormat> pictureFormatForFile(const QString& fileName)
{
    const QString extension = QFileInfo(fileName).suffix().toLower();
    if (extension == QLatin1String("png"))
        return PictureFormat::Png;
    if (extension == QLatin1String("svg"))
        return PictureFormat::Svg;
    if (extension == QLatin1String("pdf"))
        return PictureFormat::Pdf;
    return std::nullopt;
}

QByteArray pngOf(const QImage& image)
{
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    image.save(&png, "PNG");
    return png.data();
}

QByteArray svgOf(const DrawingRecord& record, const QSize& size, const QString& title)
{
    return svgOf(
        [&](QPainter& painter) { record.replay(painter, QRectF(QPointF(0, 0), QSizeF(size))); },
        size, title);
}

QByteArray pdfOf(const DrawingRecord& record, const QSize& size, const QString& title)
{
    return pdfOf(
        [&](QPainter& painter) { record.replay(painter, QRectF(QPointF(0, 0), QSizeF(size))); },
        size, title);
}

QByteArray svgOf(const Painting& paint, const QSize& size, const QString& title)
{
    QBuffer svg;
    svg.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&svg);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(kPixelsPerInch);
    generator.setTitle(title);
    {
        QPainter painter(&generator);
        paint(painter);
    }
    return svg.data();
}

QByteArray pdfOf(const Painting& paint, const QSize& size, const QString& title)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setTitle(title);
        writer.setCreator(QCoreApplication::applicationName());
        writer.setResolution(kPixelsPerInch);
        const QSizeF inches(QSizeF(size) / kPixelsPerInch);
        writer.setPageLayout(QPageLayout(QPageSize(inches, QPageSize::Inch), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0)));
        QPainter painter(&writer);
        paint(painter);
    }
    return pdf.data();
}

} // namespace forms
