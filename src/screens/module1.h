#pragma once

namespace forms {
class Form;
}

// The program's one code module: the graticule every synthesis and filter plot stands on.
namespace Module1 {

// Draws the graticule (dsp/plot_geometry.h: 10 x 8 divisions, its frame on the outer lines) on the
// plot form: heavy cyan frame, thin light blue inner lines. Leaves the pen black
// and one pixel wide, which the synthesis curves are drawn with.
void DrawGrid(forms::Form& PlotForm);

} // namespace Module1
