#include "program/help_text.h"

#include "program/screen_registry.h"
#include "screens/canvas_tools.h"

#include <QStringList>

#include <algorithm>
#include <string>

namespace program {

namespace {

// No line of the help is wider than this.
constexpr int kWidth = 94;
// Blanks before an option, and between the longest option and its text.
constexpr int kMargin = 2;

// What an option's text ends with besides its own words.
enum class Appended { Nothing, ScreenNames, ExportForms };

// One option of the command line: its text's lines, broken where a line should end.
struct Option {
    const char* option;
    const char* text;
    Appended appended = Appended::Nothing;
};

constexpr Option kOptions[] = {
    {"--screen NAME", "open this screen first instead of the start screen;", Appended::ScreenNames},
    {"--answer TEXT", "type TEXT into the open question box and press OK"},
    {"--cancel", "press Cancel in the open question box"},
    {"--click CAPTION",
     "press the button with this caption, on the topmost window that\n"
     "has one (only on a modal window while one is open); blanks at\n"
     "the ends do not count and a run of blanks counts as one"},
    {"--toggle CAPTION", "click the check box with this caption, found the same way"},
    {"--menu PATH",
     "pick a menu item by its captions, for example \"Help/About\",\n"
     "found the same way"},
    {"--close", "close the topmost window with its close box"},
    {"--export WHAT FILE",
     "write WHAT from the topmost window that has it into FILE, in\n"
     "the form its extension picks, replacing the file whole and\n"
     "never writing through a link.",
     Appended::ExportForms},
    {"--hold",
     "hold the drawing of the topmost window that can, to show it in\n"
     "a colour of its own, named in a legend, under the next drawings\n"
     "of its kind (filters of the same sampling frequency,\n"
     "synthesised waves, spectra); four at most, a fifth lets the\n"
     "oldest go"},
    {"--explore NAME=VALUE",
     "set a control of the topmost window's Explore panel and draw\n"
     "again, as the questions would draw with that value; NAME is\n"
     "harmonics, duty, rectify (F or H), fs, cutoff, centre,\n"
     "bandwidth, taps, phase (Y or N), plot-taps or plot-phase (0 or\n"
     "1), whichever the screen has; a value the panel does not offer\n"
     "fails the step"},
    {"--listen-fundamental HZ",
     "play and write the topmost synthesis drawing's sound on a\n"
     "fundamental of HZ: 110, 220, 440 or 880 (220 unless set)"},
    {"--axes STATE",
     "show (STATE on) or hide (off) the axes over the topmost\n"
     "window's plot: frequency, magnitude, dB against the largest\n"
     "tap, phase, periods or harmonics"},
    {"--analyse VIEW",
     "open the Analysis window on the topmost filter screen's design,\n"
     "on VIEW: impulse, step, group-delay, zeros or through"},
    {"--through WAVE HARMONICS F0",
     "send a wave through that design and show it: WAVE is square,\n"
     "triangle, sawtooth, full-wave, half-wave or pulse:D (duty D, 0\n"
     "to 1), HARMONICS 0 to 32767 as its screen counts them, F0 in Hz"},
    {"--slide-scale K",
     "write slides K times the window's width across, K from 1 to 4\n"
     "(2 unless given)"},
    {"--snapshot DIR",
     "when the steps are done, write a picture of every open window\n"
     "(NAME.png, NAME.canvas.png) and state.json into DIR, then exit"},
    {"--help", "show this help"},
    {"--version", "show the version"},
};

// Where the options' texts start: after the margin, the longest option and the margin again.
int textColumn()
{
    std::size_t longest = 0;
    for (const Option& option : kOptions)
        longest = std::max(longest, std::char_traits<char>::length(option.option));
    return kMargin + int(longest) + kMargin;
}

// Words laid out from `firstColumn` on, broken into lines that will each start at `indent`
// (the blanks before them are added with the rest of the option's lines).
QString wrapped(const QStringList& words, int firstColumn, int indent)
{
    QString text;
    int column = firstColumn;
    for (const QString& word : words) {
        if (column > indent && column + 1 + word.size() > kWidth) {
            text += QLatin1Char('\n');
            column = indent;
        } else if (!text.isEmpty()) {
            text += QLatin1Char(' ');
            ++column;
        }
        text += word;
        column += word.size();
    }
    return text;
}

// The names in brackets, one word each, with only names next to the commas, so that a reader
// (or a script) can take the list apart.
QStringList bracketed(const QStringList& names)
{
    QStringList words;
    for (qsizetype i = 0; i < names.size(); ++i)
        words << (i == 0 ? QStringLiteral("(") : QString()) + names[i]
                + QLatin1String(i + 1 < names.size() ? "," : ")");
    return words;
}

// The names --screen takes: every form name, and every alias.
QStringList screenNameWords()
{
    QStringList aliases;
    for (const auto& alias : screenAliases())
        aliases << alias.first;
    return QStringLiteral("NAME is a form name in any case").split(QLatin1Char(' '))
        + bracketed(formNames()) + QStringLiteral("or an alias").split(QLatin1Char(' '))
        + bracketed(aliases);
}

// An option's text laid out from the text column, with what it ends with.
QString optionText(const Option& option, int column)
{
    QString text = QString::fromUtf8(option.text);
    const int end = column + int(text.size() - text.lastIndexOf(QLatin1Char('\n')) - 1);
    if (option.appended == Appended::ScreenNames)
        text += QLatin1Char(' ') + wrapped(screenNameWords(), end + 1, column);
    else if (option.appended == Appended::ExportForms)
        text += QLatin1Char('\n')
            + wrapped(screens::exportHelp().split(QLatin1Char(' ')), column, column);
    return text.replace(QLatin1Char('\n'), QLatin1Char('\n') + QString(column, QLatin1Char(' ')));
}

QString optionsTable()
{
    const int column = textColumn();
    QString table;
    for (const Option& option : kOptions)
        table += QString(kMargin, QLatin1Char(' '))
            + QString::fromLatin1(option.option).leftJustified(column - kMargin)
            + optionText(option, column) + QLatin1Char('\n');
    return table;
}

} // namespace

QString usage()
{
    static const char* const kClosing[] = {
        "Steps run in order, each once the program waits for the user. A step that cannot be",
        "carried out stops the run with exit code 2 (with --snapshot, after writing the state at",
        "that step). A snapshot run always draws offscreen and needs no display; a run with steps",
        "alone draws offscreen when there is no display.",
        "An unscripted run keeps the Presentation setting and each save dialog's folder in the",
        "file that DSPLAB_SETTINGS names, else in the user's configuration folder.",
    };
    QString help = QStringLiteral("Usage: dsplab [--screen NAME] [STEP]... [--snapshot DIR]\n"
                                  "Fourier synthesis and FIR filter design for the classroom.\n"
                                  "\n"
                                  "Without options the program opens on its start screen. The "
                                  "options script a session:\n")
        + optionsTable();
    for (const char* line : kClosing)
        help += QString::fromUtf8(line) + QLatin1Char('\n');
    return help;
}

} // namespace program
