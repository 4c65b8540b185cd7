#include "screens/module1.h"

#include "dsp/plot_geometry.h"
#include "forms/form.h"
#include "forms/palette.h"

namespace Module1 {
namespace {

// The first and last line of each family make the heavy frame.
void setGridPen(forms::Form& form, int line, int lastLine)
{
    const bool frame = line == 0 || line == lastLine;
    form.setForeColor(forms::paletteColour(frame ? 3 : 9));
    form.setDrawWidth(frame ? 3 : 1);
}

} // namespace

void DrawGrid(forms::Form& PlotForm)
{
    forms::Form* form = &PlotForm; // the form the graticule goes on
    for (int i = 0; i <= dsp::kGraticuleRows; ++i) {
        setGridPen(*form, i, dsp::kGraticuleRows);
        const int y = dsp::graticuleLineY(i);
        form->Line(dsp::kGraticuleLeft, y, dsp::kGraticuleRight, y);
    }
    for (int j = 0; j <= dsp::kGraticuleColumns; ++j) {
        setGridPen(*form, j, dsp::kGraticuleColumns);
        const int x = dsp::graticuleLineX(j);
        form->Line(x, dsp::kGraticuleTop, x, dsp::kGraticuleBottom);
    }
    form->setForeColor(forms::paletteColour(0));
    form->setDrawWidth(1);
}

} // namespace Module1
