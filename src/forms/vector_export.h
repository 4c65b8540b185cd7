#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

class QPainter;

namespace forms {

class DrawingRecord;

// The picture formats a canvas is written in: its persistent image as PNG, or its drawing
// calls replayed as vectors.
enum class PictureFormat { Png, Svg, Pdf };

// The format a file name's extension asks for (any case); none for any other extension.
std::optional<PictureFormat> pictureFormatForFile(const QString& fileName);

QByteArray pngOf(const QImage& image);
// The record's calls as SVG or PDF, the canvas `size` logical pixels across and down (a PDF page
// of that many 1/96 inch), with `title` as the document's title.
QByteArray svgOf(const DrawingRecord& record, const QSize& size, const QString& title);
QByteArray pdfOf(const DrawingRecord& record, const QSize& size, const QString& title);

// The same for any painting onto `size` logical pixels: text stays text in both.
using Painting = std::function<void(QPainter&)>;
QByteArray svgOf(const Painting& paint, const QSize& size, const QString& title);
QByteArray pdfOf(const Painting& paint, const QSize& size, const QString& title);

} // namespace forms
