#pragma once

#include "program/session.h"

#include <QColor>
#include <QJsonArray>
#include <QJsonObject>
#include <QPoint>
#include <QRect>
#include <QStringList>

#include <initializer_list>
#include <optional>
#include <string>

namespace guitest {

// Runs a scripted session, as `dsplab ARGS...` would, and keeps what a user would have seen.
program::SessionResult run(std::initializer_list<const char*> arguments);
program::SessionResult run(const QStringList& arguments);

// Names of the open windows, bottom to top.
QStringList openWindows(const program::SessionResult& result);
QJsonObject window(const program::SessionResult& result, const QString& name);
QJsonObject controls(const program::SessionResult& result, const QString& name);
QString control(const program::SessionResult& result, const QString& form, const QString& control);
QStringList listLines(const program::SessionResult& result, const QString& form,
                      const QString& list);
bool ended(const program::SessionResult& result);
QJsonObject shared(const program::SessionResult& result);

// The pixel of a window's persistent image that the form's own drawing puts a logical position
// (in the window's scale) in; empty where the position lies off the canvas.
std::optional<QPoint> canvasPixel(const program::SessionResult& result, const QString& form,
                                  double x, double y);
// Colour of a window's persistent image at a logical position.
QColor canvasAt(const program::SessionResult& result, const QString& form, double x, double y);
// True when any pixel within `radius` pixels of the logical position has the colour.
bool canvasHasNear(const program::SessionResult& result, const QString& form, double x, double y,
                   const QColor& colour, int radius = 1);
// Number of pixels of exactly this colour in a window's persistent image.
int countPixels(const program::SessionResult& result, const QString& form, const QColor& colour);

// Where a control sits in a window's client area, in logical pixels, as the run left it.
QRect place(const program::SessionResult& result, const QString& form, const QString& control);
// The client area's rectangle, in logical pixels.
QRect clientRect(const program::SessionResult& result, const QString& form);

// A readable test name made of a text's letters and digits: a minus sign before a number reads
// "minus", a decimal point "point", anything else separates words with "_".
std::string testName(const QString& text);

} // namespace guitest
