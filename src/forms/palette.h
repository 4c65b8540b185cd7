#pragma once

#include <QColor>

namespace forms {

// The 16-colour palette the screens name their colours by (0 black ... 15 white).
QColor paletteColour(int index);

// A colour given as a bare number instead of a palette index: red = n mod 256,
// green = (n div 256) mod 256, blue = n div 65536.
QColor bareNumberColour(long number);

} // namespace forms
