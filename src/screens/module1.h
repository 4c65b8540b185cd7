#pragma once

namespace forms {
class Form;
}

// The program's one code module: the graticule every synthesis and filter plot stands on.
namespace Module1 {

// Draws the 10 x 8 division graticule (x 8 to 478, y 8 to 384, divisions of 47 units) on the
// plot form: heavy cyan frame, thin light blue inner lines. Leaves the pen black
// and one pixel wide, which the synthesis curves are drawn with.
void DrawGrid(forms::Form& PlotForm);

} // namespace Module1
