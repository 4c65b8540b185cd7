#include "screens/module1.h"

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
    for (int i = 8; i <= 384; i += 47) {
        setGridPen(*form, ++counter, 9);
        form->Line(8, i, 478, i);
    }
    counter = 0;
    for (int j = 8; j <= 478; j += 47) {
        setGridPen(*form, ++counter, 11);
        form->Line(j, 8, j, 384);
    }
    form->setForeColor(forms::paletteColour(0));
    form->setDrawWidth(1);
}

} // namespace Module1
