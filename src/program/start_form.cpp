#include "program/start_form.h"

#include "forms/runtime.h"
#include "screens/screen_setup.h"

#include <QLabel>
#include <QPushButton>

namespace program {

namespace {
const QColor kLightGrey(192, 192, 192);
}

void setProgramCaption(forms::Form& form)
{
    form.setCaption(QStringLiteral(" Quorvel Applications"));
    form.setCaption(form.caption() + QString(39, QLatin1Char(' ')));
    form.setCaption(form.caption() + QStringLiteral("DSP Lab for the classroom"));
}

Form1::Form1() : Form(QString::fromLatin1(kName), 8160, 2655)
{
    setBackColor(kLightGrey);
    Cls();
    Label1 = addLabel(QStringLiteral("Label1"), twipsRect(480, 240, 7215, 1095),
                      screens::sansSerif(9.75, true));
    Label2 = addLabel(QStringLiteral("Label2"), twipsRect(480, 1200, 7215, 1095),
                      screens::sansSerif(9.75, true));
    for (QLabel* label : {Label1, Label2})
        screens::paintControl(label, Qt::black, kLightGrey);
    Command1 = addButton(QStringLiteral("Command1"), QStringLiteral("Continue"),
                         twipsRect(6600, 2040, 1215, 495), screens::arial(8.25, true));
    onClick(Command1, [this] { Command1_Click(); });
}

void Form1::Form_Load()
{
    centreOnScreen();
    setProgramCaption(*this);
    Label1->setText(QStringLiteral(
        "DSP Lab is for students of digital signal processing and their teachers. It builds "
        "periodic waveforms from their Fourier series and shows their line spectra, and it "
        "designs FIR filters by the windowed-sinc method and plots their responses. Right-click "
        "a drawing to copy, save or measure it."));
    Label2->setText(QString());
}

void Form1::Command1_Click()
{
    forms::Runtime& runtime = this->runtime();
    runtime.Unload(this);
    runtime.Load(QStringLiteral("Form2"));
}

} // namespace program
