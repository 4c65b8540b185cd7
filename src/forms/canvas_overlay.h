#pragma once

// The bottom of the forms runtime, with form_host.h: what a window paints over its canvas.
// CanvasLayer implements it and attaches itself to a Form, so Form paints the overlay without
// including or calling CanvasLayer (CanvasLayer -> Form -> CanvasOverlay).

#include <QObject>

class QPainter;

namespace forms {

// Something a window owns (a child object) and paints over its canvas after the canvas.
class CanvasOverlay : public QObject {
public:
    using QObject::QObject;
    // Called by the window's client area after it has painted the canvas.
    virtual void paintOver(QPainter& painter) = 0;
};

} // namespace forms
