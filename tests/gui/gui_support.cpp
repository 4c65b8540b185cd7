#include "gui_support.h"

#include "forms/form.h"

namespace guitest {

program::SessionResult run(std::initializer_list<const char*> arguments)
{
    QStringList list;
    for (const char* argument : arguments)
        list << QString::fromUtf8(argument);
    return run(list);
}

program::SessionResult run(const QStringList& arguments) { return program::runSession(arguments); }

QStringList openWindows(const program::SessionResult& result)
{
    QStringList names;
    for (const QJsonValue& window : result.state().value("windows").toArray())
        names << window.toObject().value("name").toString();
    return names;
}

QJsonObject window(const program::SessionResult& result, const QString& name)
{
    for (const QJsonValue& window : result.state().value("windows").toArray())
        if (window.toObject().value("name").toString() == name)
            return window.toObject();
    return {};
}

QJsonObject controls(const program::SessionResult& result, const QString& name)
{
    return window(result, name).value("controls").toObject();
}

QString control(const program::SessionResult& result, const QString& form, const QString& name)
{
    return controls(result, form).value(name).toString();
}

QStringList listLines(const program::SessionResult& result, const QString& form,
                      const QString& list)
{
    QStringList lines;
    for (const QJsonValue& line : controls(result, form).value(list).toArray())
        lines << line.toString();
    return lines;
}

bool ended(const program::SessionResult& result) { return result.state().value("ended").toBool(); }

QJsonObject shared(const program::SessionResult& result)
{
    return result.state().value("shared").toObject();
}

namespace {

QSizeF scaleOf(const program::SessionResult& result, const QString& form)
{
    const QJsonArray scale = window(result, form).value("scale").toArray();
    return QSizeF(scale.at(0).toDouble(), scale.at(1).toDouble());
}

// Where the form's own drawing puts a logical point on a canvas of this size and scale: a probe
// form with the same canvas sets the point, and its image shows where it landed.
std::optional<QPoint> pixelOf(const QSize& canvas, const QSizeF& scale, double x, double y)
{
    forms::Form probe(QStringLiteral("PixelProbe"), canvas.width() * forms::kTwipsPerPixel,
                      canvas.height() * forms::kTwipsPerPixel);
    if (probe.canvasImage().size() != canvas)
        return std::nullopt;
    probe.setScaleWidth(scale.width());
    probe.setScaleHeight(scale.height());
    probe.setBackColor(Qt::white);
    probe.Cls();
    probe.PSet(x, y, Qt::black);
    const QImage& image = probe.canvasImage();
    for (int row = 0; row < image.height(); ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(row));
        for (int column = 0; column < image.width(); ++column)
            if (qRed(line[column]) == 0)
                return QPoint(column, row);
    }
    return std::nullopt;
}

} // namespace

std::optional<QPoint> canvasPixel(const program::SessionResult& result, const QString& form,
                                  double x, double y)
{
    return pixelOf(result.snapshot.canvas(form).size(), scaleOf(result, form), x, y);
}

QColor canvasAt(const program::SessionResult& result, const QString& form, double x, double y)
{
    const std::optional<QPoint> at = canvasPixel(result, form, x, y);
    return at ? QColor(result.snapshot.canvas(form).pixel(*at)) : QColor();
}

bool canvasHasNear(const program::SessionResult& result, const QString& form, double x, double y,
                   const QColor& colour, int radius)
{
    const QImage image = result.snapshot.canvas(form);
    const std::optional<QPoint> at = canvasPixel(result, form, x, y);
    if (!at)
        return false;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint p = *at + QPoint(dx, dy);
            if (image.rect().contains(p) && QColor(image.pixel(p)) == colour)
                return true;
        }
    return false;
}

int countPixels(const program::SessionResult& result, const QString& form, const QColor& colour)
{
    const QImage image = result.snapshot.canvas(form);
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += QColor(image.pixel(x, y)) == colour;
    return count;
}

QRect place(const program::SessionResult& result, const QString& form, const QString& control)
{
    const QJsonArray r = window(result, form).value("places").toObject().value(control).toArray();
    return r.size() == 4 ? QRect(r[0].toInt(), r[1].toInt(), r[2].toInt(), r[3].toInt()) : QRect();
}

QRect clientRect(const program::SessionResult& result, const QString& form)
{
    const QJsonArray size = window(result, form).value("client").toArray();
    return QRect(0, 0, size.at(0).toInt(), size.at(1).toInt());
}

std::string testName(const QString& text)
{
    std::string name;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool numberFollows =
            i + 1 < text.size() && (text[i + 1].isDigit() || text[i + 1] == '.');
        if (c.isLetterOrNumber() && c.unicode() < 128)
            name += char(c.unicode());
        else if (c == '-' && numberFollows)
            name += "minus";
        else if (c == '.')
            name += "point";
        else if (!name.empty() && name.back() != '_')
            name += '_';
    }
    while (!name.empty() && name.back() == '_')
        name.pop_back();
    return name.empty() ? "empty" : name;
}

} // namespace guitest
