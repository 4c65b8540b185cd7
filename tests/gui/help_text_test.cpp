// --help is made from the table --screen reads: every alias and form name it accepts is listed,
// and each option line keeps the "  --option ARG   description" shape.

#include "program/help_text.h"
#include "program/screen_registry.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

TEST(HelpText, ListsEveryNameAndAliasTheScreenOptionAccepts)
{
    const QString help = program::usage().simplified();
    const QString listed = help.section(QStringLiteral("--screen NAME"), 1).section(QStringLiteral(" --answer"), 0, 0);
    for (const auto& [alias, form] : program::screenAliases()) {
        EXPECT_TRUE(listed.contains(QStringLiteral(" ") + alias + QStringLiteral(",")) || listed.contains(QStringLiteral(" ") + alias + QStringLiteral(")"))
                    || listed.contains(QStringLiteral("(") + alias + QStringLiteral(",")))
            << alias.toStdString();
        EXPECT_EQ(program::resolveScreenName(alias), form);
    }
    for (const QString& name : program::formNames())
        EXPECT_TRUE(QRegularExpression(QStringLiteral("[ (]") + name + QStringLiteral("[,)]")).match(listed).hasMatch())
            << name.toStdString();
}

TEST(HelpText, OptionLinesKeepTheirShapeAndWidth)
{
    static const QRegularExpression optionLine(QStringLiteral("^  (--[a-z]+)( [A-Z]+)? +\\S"));
    QStringList options;
    for (const QString& line : program::usage().split(QLatin1Char('\n'))) {
        EXPECT_LE(line.size(), 94) << line.toStdString();
        const auto match = optionLine.match(line);
        if (match.hasMatch())
            options << match.captured(1);
    }
    EXPECT_EQ(options, (QStringList{"--screen", "--answer", "--cancel", "--click", "--toggle", "--menu", "--close",
                                    "--export", "--hold", "--snapshot", "--help", "--version"}));
}

} // namespace
