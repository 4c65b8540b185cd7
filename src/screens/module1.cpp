#include "screens/module1.h"

#include "dsp/plot_geometry.h"
#include "forms/form.h"
#include "forms/palette.h"

namespace Module1 {
namespace {

// The first and last line of each family make the heavy frame.
void setGridPen(forms::Form& form, int counter, int lastCounter)
{
    const bool frame = counter == 1 || counter == lastCounter;
    form.setForeColor(forms::paletteColour(frame ? 3 : 9));
    form.setDrawWidth(frame ? 3 : 1);
}

} // namespace

void DrawGrid(forms::Form& PlotForm)
{
    forms::Form* form = &PlotForm; // the form the graticule goes on
    int counter = 0;
    for (int i = dsp::kGraticuleTop; i <= dsp::kGraticuleBottom; i += dsp::kGraticuleDivision) {
        setGridPen(*form, ++counter, dsp::kGraticuleRows + 1);
        form->Line(dsp::kGraticuleLeft, i, dsp::kGraticuleRight, i);
    }
    counter = 0;
    for (int j = dsp::kGraticuleLeft; j <= dsp::kGraticuleRight; j += dsp::kGraticuleDivision) {
        setGridPen(*form, ++counter, dsp::kGraticuleColumns + 1);
        form->Line(j, dsp::kGraticuleTop, j, dsp::kGraticuleBottom);
    }
    form->setForeColor(forms::paletteColour(0));
    form->setDrawWidth(1);
}

} // namespace Module1
