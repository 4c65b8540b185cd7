#include "gui_support.h"

#include <cmath>

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

QStringList listLines(const program::SessionResult& result, const QString& form, const QString& list)
{
    QStringList lines;
    for (const QJsonValue& line : controls(result, form).value(list).toArray())
        lines << line.toString();
    return lines;
}

bool ended(const program::SessionResult& result) { return result.state().value("ended").toBool(); }

QJsonObject shared(const program::SessionResult& result) { return result.state().value("shared").toObject(); }

namespace {

QPoint pixelOf(const QImage& image, double x, double y, double scaleWidth, double scaleHeight)
{
    return QPoint(static_cast<int>(std::floor(static_cast<float>(x) * image.width() / scaleWidth)),
                  static_cast<int>(std::floor(static_cast<float>(y) * image.height() / scaleHeight)));
}

} // namespace

QColor canvasAt(const program::SessionResult& result, const QString& form, double x, double y,
                double scaleWidth, double scaleHeight)
{
    const QImage image = result.snapshot.canvas(form);
    const QPoint at = pixelOf(image, x, y, scaleWidth, scaleHeight);
    return image.rect().contains(at) ? QColor(image.pixel(at)) : QColor();
}

bool canvasHasNear(const program::SessionResult& result, const QString& form, double x, double y,
                   const QColor& colour, int radius)
{
    const QImage image = result.snapshot.canvas(form);
    const QPoint at = pixelOf(image, x, y, 640, 480);
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint p = at + QPoint(dx, dy);
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

} // namespace guitest
