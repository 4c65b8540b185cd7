#pragma once

#include "program/session.h"

#include <QColor>
#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

#include <initializer_list>

namespace guitest {

// Runs a scripted session, as `dsplab ARGS...` would, and keeps what a user would have seen.
program::SessionResult run(std::initializer_list<const char*> arguments);
program::SessionResult run(const QStringList& arguments);

// Names of the open windows, bottom to top.
QStringList openWindows(const program::SessionResult& result);
QJsonObject window(const program::SessionResult& result, const QString& name);
QJsonObject controls(const program::SessionResult& result, const QString& name);
QString control(const program::SessionResult& result, const QString& form, const QString& control);
QStringList listLines(const program::SessionResult& result, const QString& form, const QString& list);
bool ended(const program::SessionResult& result);
QJsonObject shared(const program::SessionResult& result);

// Colour of a window's persistent image at a logical position (640 x 480 scale unless given).
QColor canvasAt(const program::SessionResult& result, const QString& form, double x, double y,
                double scaleWidth = 640, double scaleHeight = 480);
// True when any pixel within `radius` pixels of the logical position has the colour.
bool canvasHasNear(const program::SessionResult& result, const QString& form, double x, double y,
                   const QColor& colour, int radius = 1);
// Number of pixels of exactly this colour in a window's persistent image.
int countPixels(const program::SessionResult& result, const QString& form, const QColor& colour);

} // namespace guitest
