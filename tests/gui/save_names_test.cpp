// Names chosen in a save dialog arrive as text: they are written under the bytes the text
// stands for, and a text that stands for no bytes (a character put in for unreadable ones) is
// refused rather than written under another name.

#include "forms/safe_file.h"
#include "support/test_tables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

struct ChosenName {
    const char* name;
    QString text;      // as the dialog gives it
    QByteArray stored; // the name written on the disk; empty when refused
};

class ChosenNames : public ::testing::TestWithParam<ChosenName> { };

TEST_P(ChosenNames, AreWrittenUnderTheirBytesOrRefused)
{
    const ChosenName& c = GetParam();
    QTemporaryDir folder;
    const QString path = folder.filePath(c.text);
    QString error;
    const bool written = forms::safefile::writeFile(path, "contents\n", &error);

    EXPECT_EQ(written, !c.stored.isEmpty()) << error.toStdString();
    const QStringList entries =
        QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    if (c.stored.isEmpty()) {
        EXPECT_TRUE(entries.isEmpty()) << entries.join(' ').toStdString();
        EXPECT_TRUE(error.startsWith("cannot write " + path + ": ")) << error.toStdString();
        return;
    }
    ASSERT_EQ(entries.size(), 1);
    QFile file(QFile::decodeName(QFile::encodeName(folder.path()) + '/' + c.stored));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "contents\n");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, ChosenNames, ::testing::Values(
    ChosenName{"Ascii", QStringLiteral("plain.csv"), "plain.csv"},
    ChosenName{"Accented", QString::fromUtf8("caf\xc3\xa9.csv"), "caf\xc3\xa9.csv"},
    ChosenName{"Greek", QString::fromUtf8("\xce\xbb.csv"), "\xce\xbb.csv"},
    ChosenName{"ReplacementCharacter", QString::fromUtf8("x\xef\xbf\xbd.csv"), {}},
    ChosenName{"LoneSurrogate", QStringLiteral("x") + QChar(0xdcfe) + QStringLiteral(".csv"), {}}),
    tables::rowName);
// clang-format on

} // namespace
