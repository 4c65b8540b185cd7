#pragma once

// Traces held for comparison: a few at once, each in its own colour, shown under the drawings
// that follow them on screens of the same family.

#include "dsp/wave_units.h"
#include "screens/canvas_tool_state.h"

#include <QColor>
#include <QRectF>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class QPainter;

namespace screens {

// Holding one more than this lets the oldest go.
inline constexpr std::size_t kMostHeld = 4;

// A held trace's colour and the word the measurements box heads its column with.
struct HeldColour {
    QColor colour;
    const char* word;
};

// The darker four of Okabe and Ito's colour-blind-safe set: each keeps 3:1 or more against
// white, so it stays readable on a washed-out projector, and none is the current drawing's
// black, bright red or green.
const std::array<HeldColour, kMostHeld>& heldColours();

// Adds `drawing` to a family's held traces in the first colour none of them has; the oldest
// goes first when kMostHeld are held already.
void holdTrace(std::vector<HeldDrawing>& held, HeldDrawing drawing);

// The held traces a window shows, oldest first: each from the drawing after the one it was
// held from, so a window never shows its own drawing twice.
std::vector<const HeldDrawing*> heldShown(const std::vector<HeldDrawing>& held, std::uint64_t tools,
                                          unsigned long clears);

// Each trace replayed in its colour onto `canvas` (the whole canvas, device pixels).
void paintHeldTraces(QPainter& painter, const QRectF& canvas,
                     const std::vector<const HeldDrawing*>& shown);

// A synthesised wave as a legend names it: "square wave, 3 harmonics".
QString waveDesignName(dsp::Wave wave, int harmonics, double dutyCycle);

// The legend's lines as rich text, a swatch of each colour before its name.
QString legendHtml(const std::vector<LegendLine>& lines);

} // namespace screens
