// --help is made from the table --screen reads: every alias and form name it accepts is listed,
// and each option line keeps the "  --option ARG   description" shape.

#include "program/help_text.h"
#include "program/screen_registry.h"

#include <QRegularExpression>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

TEST(HelpText, ListsEveryNameAndAliasTheScreenOptionAccepts)
{
    const QString help = program::usage().simplified();
    const QString listed =
        help.section(QStringLiteral("--screen NAME"), 1).section(QStringLiteral(" --answer"), 0, 0);
    for (const auto& [alias, form] : program::screenAliases()) {
        EXPECT_TRUE(listed.contains(QStringLiteral(" ") + alias + QStringLiteral(","))
                    || listed.contains(QStringLiteral(" ") + alias + QStringLiteral(")"))
                    || listed.contains(QStringLiteral("(") + alias + QStringLiteral(",")))
            << alias.toStdString();
        EXPECT_EQ(program::resolveScreenName(alias), form);
    }
    for (const QString& name : program::formNames())
        EXPECT_TRUE(QRegularExpression(QStringLiteral("[ (]") + name + QStringLiteral("[,)]"))
                        .match(listed)
                        .hasMatch())
            << name.toStdString();
}

TEST(HelpText, OptionLinesKeepTheirShapeAndWidth)
{
    static const QRegularExpression optionLine(QStringLiteral("^  (--[a-z-]+)( [A-Z=]+)? +\\S"));
    QStringList options;
    for (const QString& line : program::usage().split(QLatin1Char('\n'))) {
        EXPECT_LE(line.size(), 94) << line.toStdString();
        const auto match = optionLine.match(line);
        if (match.hasMatch())
            options << match.captured(1);
    }
    EXPECT_EQ(options,
              (QStringList{"--screen", "--answer", "--cancel", "--click", "--toggle", "--menu",
                           "--close", "--export", "--hold", "--explore", "--listen-fundamental",
                           "--axes", "--analyse", "--through", "--slide-scale", "--snapshot",
                           "--help", "--version"}));
}

// Every option's text, and every line that carries one on, starts in one column: two blanks
// after the longest option with its values.
TEST(HelpText, OptionTextsStartInOneColumn)
{
    static const QRegularExpression optionLine(
        QStringLiteral("^  (--[a-z-]+(?: [A-Z0-9=]+)*) +\\S"));
    const QStringList lines = program::usage().split(QLatin1Char('\n'));
    qsizetype longest = 0;
    qsizetype first = -1;
    qsizetype last = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto match = optionLine.match(lines[i]);
        if (!match.hasMatch())
            continue;
        longest = std::max(longest, match.capturedLength(1));
        first = first < 0 ? i : first;
        last = i;
    }
    ASSERT_GE(first, 0);
    const qsizetype column = 2 + longest + 2;
    for (qsizetype i = first; i <= last + 1 && i < lines.size(); ++i) {
        const QString& line = lines[i];
        const bool option = optionLine.match(line).hasMatch();
        if (!option && !line.startsWith(QLatin1Char(' ')))
            continue;
        qsizetype start = option ? 2 + optionLine.match(line).capturedLength(1) : 0;
        while (start < line.size() && line[start] == QLatin1Char(' '))
            ++start;
        EXPECT_EQ(start, column) << line.toStdString();
    }
}

} // namespace
