#pragma once

#include "dsp/sound.h"
#include "forms/drawing_record.h"

#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <vector>

namespace screens {

// One measured figure: its name in the snapshot's state, its name in the measurements box, its
// value for the state (a number or a list of them, null where one cannot be computed), and for
// the box its text for each value ("-" for null) and, where it says, the side each belongs to.
struct Figure {
    QString key;
    QString label;
    QJsonValue value;
    QStringList shown;
    QStringList sides; // empty, or one for each of `shown`
};

// A trace held for the next drawing of the screen of that name, with its figures.
struct HeldDrawing {
    forms::DrawingRecord trace;
    std::vector<Figure> figures;
    std::uint64_t heldBy = 0; // the tools of the window that held it
    unsigned long clears = 0; // that window's clears when it was held
};

// What the canvas tools keep across windows: a screen is a new window after "Do Another".
struct CanvasToolState {
    std::map<QString, HeldDrawing> held; // by screen name
    bool showMeasurements = false;
    std::map<QString, QString> lastFolders; // where each save dialog ("picture"...) last saved
    double toneFundamental = dsp::kDefaultFundamental; // Hz, one of dsp::kToneFundamentals
};

} // namespace screens
