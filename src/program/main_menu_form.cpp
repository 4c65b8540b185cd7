#include "program/main_menu_form.h"

#include "forms/palette.h"
#include "forms/runtime.h"
#include "program/start_form.h"
#include "screens/screen_setup.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace program {

namespace {
constexpr int kColumnLeft[] = {240, 3840};
constexpr int kRowTop[] = {480, 1560, 2640, 3720, 4800};
} // namespace

Form2::Form2() : Form(QString::fromLatin1(kName), 7365, 6105)
{
    Label1 = addLabel(QStringLiteral("Label1"), twipsRect(360, 120, 6615, 375),
                      screens::arial(13.5, true));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setText(QStringLiteral("Select Operation"));

    const QColor platform; // the platform's own button colour
    addScreenButton(2, QStringLiteral("Square Generator"), 0, 0, QStringLiteral("Form3"),
                    QColor(192, 255, 255));
    addScreenButton(10, QStringLiteral("Pulse Generator"), 1, 0, QStringLiteral("Form13"),
                    QColor(255, 192, 192), 14.25);
    addScreenButton(3, QStringLiteral("Triangle Generator"), 0, 1, QStringLiteral("Form4"),
                    QColor(255, 192, 255));
    addScreenButton(4, QStringLiteral("Sawtooth Generator"), 1, 1, QStringLiteral("Form5"),
                    QColor(192, 192, 255), 14.25);
    addScreenButton(1, QStringLiteral("  Lowpass Filter Design    (rectangular window)"), 0, 2,
                    QStringLiteral("Form8"), platform);
    addScreenButton(5, QStringLiteral("Rectified Sine Generator"), 1, 2, QStringLiteral("Form6"),
                    QColor(255, 224, 192));
    addScreenButton(6, QStringLiteral("  Lowpass Filter Design     (Blackman window)"), 0, 3,
                    QStringLiteral("Form9"), platform);
    addScreenButton(8, QStringLiteral(" Highpass Filter Design     (Blackman window)"), 1, 3,
                    QStringLiteral("Form11"), platform);
    addScreenButton(9, QStringLiteral(" Bandstop Filter Design     (Blackman window)"), 0, 4,
                    QStringLiteral("Form12"), platform);
    addScreenButton(7, QStringLiteral(" Bandpass Filter Design    (Blackman window)"), 1, 4,
                    QStringLiteral("Form10"), platform);

    QMenu* file = addMenu(QStringLiteral("MenuFile"), QStringLiteral("&File"));
    addMenuItem(file, QStringLiteral("MenuFileExit"), QStringLiteral("E&xit"),
                [this] { MenuFileExit_Click(); });
    QMenu* help = addMenu(QStringLiteral("menuhelp"), QStringLiteral("&Help"));
    addMenuItem(help, QStringLiteral("menuAbout"), QStringLiteral("About"),
                [this] { menuAbout_Click(); });
}

// The filter captions are laid out to wrap onto two lines inside their buttons.
void Form2::addScreenButton(int number, const QString& caption, int column, int row,
                            const QString& screen, const QColor& background, double points)
{
    QPushButton* button =
        addButton(QStringLiteral("Command%1").arg(number), caption,
                  twipsRect(kColumnLeft[column], kRowTop[row], 3255, 855), screens::arial(points));
    if (background.isValid())
        screens::paintControl(button, Qt::black, background);
    onClick(button, [this, screen] { openScreen(screen); });
}

void Form2::Form_Load()
{
    centreOnScreen();
    setBackColor(forms::paletteColour(15));
    setForeColor(forms::paletteColour(0));
    setScaleHeight(350);
    setScaleWidth(640);
    setProgramCaption(*this);
    Show();
}

// A screen that is already loaded is not loaded again: the menu then just goes away.
void Form2::openScreen(const QString& screen)
{
    forms::Runtime& runtime = this->runtime();
    if (!runtime.knows(screen))
        return;
    runtime.Unload(this);
    runtime.Load(screen);
}

void Form2::MenuFileExit_Click() { runtime().End(); }

void Form2::menuAbout_Click()
{
    forms::Runtime& runtime = this->runtime();
    if (!runtime.knows(QStringLiteral("frmAbout1")))
        return;
    if (forms::Form* about = runtime.Load(QStringLiteral("frmAbout1")))
        about->Show(1);
}

} // namespace program
