#pragma once

#include "dsp/sound.h"
#include "forms/drawing_record.h"
#include "forms/script.h"
#include "screens/analysis_choice.h"

#include <QColor>
#include <QJsonValue>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
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

// What one trace reads at a pointer position: the place read ("f 150.00 Hz"), the same for
// every trace of a screen; the trace's values there, a line each; and the points of the trace
// read (logical units), where the marker dots go.
struct TraceReading {
    QString place;
    QStringList values;
    std::vector<QPointF> markers;
};
// Reads one drawing anywhere; nothing off what it plots. It keeps its own copy of the drawing's
// data, so that it goes on reading a held trace after its window has gone.
using TraceReader = std::function<std::optional<TraceReading>(const QPointF& logical)>;

// A trace held for the next drawings of its family (screens that share a plot's axes), with its
// figures, its design's name, its reader, and the captions it needs beside it.
struct HeldDrawing {
    forms::DrawingRecord trace;
    std::vector<Figure> figures;
    QString name;
    TraceReader read;
    QStringList captions;
    std::size_t colour = 0;   // its place in the held colours
    std::uint64_t heldBy = 0; // the tools of the window that held it
    unsigned long clears = 0; // that window's clears when it was held
};

// One line of a drawing's legend: a trace's colour and what it shows.
struct LegendLine {
    QColor colour;
    QString text;
};

// What the canvas tools keep across windows: a screen is a new window after "Do Another".
struct CanvasToolState {
    std::map<QString, std::vector<HeldDrawing>> held; // by family, oldest first
    std::map<QString, QPointF> notePlace;             // by screen name: the box's top left, logical
    bool showMeasurements = false;
    bool showAxes = false;
    int slideScale = forms::kSlideScaleDefault; // --slide-scale
    std::map<QString, QString> lastFolders;     // where each save dialog ("picture"...) last saved
    double toneFundamental = dsp::kDefaultFundamental; // Hz, one of dsp::kToneFundamentals
    std::map<QString, AnalysisKept> analysis;          // by screen name
};

} // namespace screens
