#include "synthesis/synthesis_screen.h"

#include "app/screen_setup.h"
#include "app/shared_state.h"
#include "forms/runtime.h"

#include <QPushButton>

namespace synthesis {

using forms::Runtime;

SynthesisScreen::SynthesisScreen(const char* name, const QString& caption, const QString& waveType)
    : Form(QString::fromLatin1(name), 11880, 8595), m_waveType(waveType)
{
    setCaption(caption);
}

ButtonColumn SynthesisScreen::standardButtons() const
{
    return {twipsRect(9360, 2160, 2000, 495), twipsRect(9360, 3120, 2000, 495),
            twipsRect(9360, 4080, 2000, 495)};
}

void SynthesisScreen::placeButtons(const ButtonColumn& column)
{
    const forms::FontSpec font = app::arial(9.75, true);
    Command3 = addButton(QStringLiteral("Command3"), QStringLiteral("Do Another"), column.doAnother, font);
    Command2 = addButton(QStringLiteral("Command2"), QStringLiteral("View Spectrum"), column.viewSpectrum, font);
    Command1 = addButton(QStringLiteral("Command1"), QStringLiteral("Main Menu"), column.mainMenu, font);
    onClick(Command1, [this] { Command1_Click(); });
    onClick(Command2, [this] { Command2_Click(); });
    onClick(Command3, [this] { Command3_Click(); });
}

void SynthesisScreen::Form_Unload() { Runtime::current().Load(QStringLiteral("Form2")); }

void SynthesisScreen::Command1_Click() { Runtime::current().Unload(this); }

void SynthesisScreen::Command2_Click()
{
    app::shared().WaveType = m_waveType;
    Runtime& runtime = Runtime::current();
    if (!runtime.knows(QStringLiteral("Form7")))
        return;
    if (forms::Form* spectrum = runtime.Load(QStringLiteral("Form7")))
        spectrum->Show(1);
}

void SynthesisScreen::Command3_Click()
{
    Runtime& runtime = Runtime::current();
    const QString again = name();
    runtime.Unload(this);
    runtime.Load(again);
}

} // namespace synthesis
