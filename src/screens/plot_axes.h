#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <functional>
#include <utility>
#include <vector>

class QPainter;

namespace screens {

// One axis of a screen's plot, as the screen draws it: `toLogical` is the screen's own mapping
// from a value to the logical x (an axis below the plot) or y (one beside it), so the values
// written are where the drawing puts them.
struct Axis {
    enum class Side { Below, Left, Right };
    Side side;
    QString title; // the quantity and its unit, written once beside the values
    QString unit;  // written after every value ("°"); usually empty
    QColor colour;
    double from; // the values the plot spans
    double to;
    std::function<double(double)> toLogical;
    // When given, the only values that can carry a tick (the spectrum's lines).
    std::vector<double> only;
    // In the window, the logical y the values below the plot hang from (the values beside it
    // stand inside the frame, the window having no room beside it).
    double along = 0;
};

// The values a linear mapping puts at two logical coordinates (the plot's edges, say), read
// back through the mapping itself; in increasing order.
std::pair<double, double> valuesSpanned(const std::function<double(double)>& toLogical,
                                        double first, double last);

// A screen's axes and the part of the canvas they frame (logical units); the plot a slide shows.
struct PlotAxes {
    QRectF plot;
    std::vector<Axis> axes;
};

// One value or title as laid out: its text, its box and its colour.
struct AxisLabel {
    QString text;
    QRectF box; // device units
    QColor colour;
    double value = 0;     // the tick's value (titles: 0)
    bool isTitle = false; // a title rather than a value
    QLineF mark;          // the tick at the frame (device units); none for a title
};

// How the labels are laid out: in a window the values beside the plot stand inside the frame
// (the canvas has no room beside it) and nothing goes where a control stands; on a slide every
// value stands outside the plot, which has the room.
struct AxisLayout {
    QTransform toDevice; // logical -> device
    QFont font;
    bool inWindow = true;
    std::vector<QRectF> taken; // device boxes no label may cover (the window's controls)
};

// The labels of every axis: nice values (1, 2 or 5 times a power of ten) as close as their
// widths let them stand, each whole and apart from the others.
std::vector<AxisLabel> layOutAxes(const PlotAxes& axes, const AxisLayout& layout);
// The labels, each on a pale box so it reads over the drawing, with a short tick mark at the
// frame for each value.
void paintAxes(QPainter& painter, const PlotAxes& axes, const AxisLayout& layout);

} // namespace screens
