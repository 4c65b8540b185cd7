#pragma once

#include "forms/drawing_record.h"

#include <QJsonValue>
#include <QString>

#include <cstdint>
#include <map>
#include <vector>

namespace screens {

// One measured figure: its name in the snapshot's state, its name in the measurements box, its
// value for the state (null where it cannot be computed) and its text for the box ("-" then).
struct Figure {
    QString key;
    QString label;
    QJsonValue value;
    QString shown;
};

// A trace held for the next drawing of the screen of that name, with its figures.
struct HeldDrawing {
    forms::DrawingRecord trace;
    std::vector<Figure> figures;
    std::uint64_t heldBy = 0;    // the tools of the window that held it
    unsigned long clears = 0;    // that window's clears when it was held
};

// What the canvas tools keep across windows: a screen is a new window after "Do Another".
struct CanvasToolState {
    std::map<QString, HeldDrawing> held; // by screen name
    bool showMeasurements = false;
    QString lastFolder;                  // where the last file was saved
};

} // namespace screens
