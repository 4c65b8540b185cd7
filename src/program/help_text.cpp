#include "program/help_text.h"

#include "forms/driver.h"
#include "program/screen_registry.h"
#include "screens/canvas_tools.h"

#include <string_view>

namespace program {

namespace {

// Words laid out after the option column of the help text, each line at most kWidth wide.
QString wrapped(const QStringList& words, int firstColumn)
{
    constexpr int kWidth = 94;
    constexpr int kIndent = 22;
    QString text;
    int column = firstColumn;
    for (const QString& word : words) {
        if (column > kIndent && column + 1 + word.size() > kWidth) {
            text += QLatin1Char('\n') + QString(kIndent, QLatin1Char(' '));
            column = kIndent;
        } else if (!text.isEmpty()) {
            text += QLatin1Char(' ');
            ++column;
        }
        text += word;
        column += word.size();
    }
    return text;
}

} // namespace

QString usage()
{
    // Only names stand next to the commas, so that a reader (or a script) can take the list apart.
    QStringList words = QStringLiteral("NAME is a form name in any case").split(QLatin1Char(' '));
    const QStringList names = formNames();
    for (qsizetype i = 0; i < names.size(); ++i)
        words << (i == 0 ? QStringLiteral("(") : QString()) + names[i] + QLatin1String(i + 1 < names.size() ? "," : ")");
    words << QStringLiteral("or") << QStringLiteral("an") << QStringLiteral("alias");
    const auto aliases = screenAliases();
    for (qsizetype i = 0; i < aliases.size(); ++i)
        words << (i == 0 ? QStringLiteral("(") : QString()) + aliases[i].first + QLatin1String(i + 1 < aliases.size() ? "," : ")");
    // The --screen line starts its text in column 22 after the words written before it.
    const int column = int(std::string_view("  --screen NAME       open this screen first instead of the start screen; ").size());
    return QStringLiteral("Usage: dsplab [--screen NAME] [STEP]... [--snapshot DIR]\n"
                          "Fourier synthesis and FIR filter design for the classroom.\n"
                          "\n"
                          "Without options the program opens on its start screen. The options "
                          "script a session:\n")
        + forms::optionsHelp(wrapped(words, column), wrapped(screens::exportHelp().split(QLatin1Char(' ')), 22));
}

} // namespace program
