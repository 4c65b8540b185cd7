#pragma once

// The measurements box's text: the current drawing's figures, and each held trace's beside them.

#include "screens/canvas_tool_state.h"

#include <QString>

#include <vector>

namespace screens {

// A small table: each figure, a row for each of its values with the side it belongs to; a
// column for the current drawing, then one for each held trace headed in its colour.
QString measurementsHtml(const std::vector<Figure>& figures,
                         const std::vector<const HeldDrawing*>& held);

// Whether any figure has a value: nothing to show while nothing is drawn.
bool anyMeasured(const std::vector<Figure>& figures);

} // namespace screens
