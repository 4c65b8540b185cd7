// --export and --hold in the real program: taps that read back to the listed ones in every file
// form (compiled as C, run as Python), pictures as vectors, tables of what was drawn, refusals
// for what a window does not have, and no link ever followed.

#include "cli_support.h"
#include "dsp/number_format.h"
#include "support/test_tables.h"

#include <QJsonArray>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using namespace clitest;

std::string text(const QString& s) { return s.toStdString(); }

QStringList linesOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The second column of a CSV file with a header line, as doubles.
std::vector<double> secondColumn(const QString& path)
{
    std::vector<double> values;
    const QStringList lines = linesOf(path);
    for (qsizetype i = 1; i < lines.size(); ++i)
        values.push_back(lines[i].section(QLatin1Char(','), 1, 1).toDouble());
    return values;
}

QStringList outputLines(QProcess& process)
{
    return QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

std::vector<double> numbersOf(const QStringList& lines)
{
    std::vector<double> values;
    for (const QString& line : lines)
        values.push_back(line.toDouble());
    return values;
}

QStringList listedTaps(const QString& folder, const QString& form)
{
    for (const QJsonValue& window : stateIn(folder).value("windows").toArray())
        if (window.toObject().value("name").toString() == form) {
            QStringList lines;
            const QJsonObject controls = window.toObject().value("controls").toObject();
            for (const QJsonValue& line : controls.value("List1").toArray())
                lines << line.toString();
            return lines;
        }
    return {};
}

struct FilterScreen {
    const char* name;
    const char* form;
    QStringList steps; // --screen and the answers
    qsizetype edges = 1;
    qsizetype stopBands = 1;
};

// clang-format off
const FilterScreen kFilterScreens[] = {
    {"RectangularLowpass", "Form8", screenWith("lowpass-rect", {"1000", "150", "15"})},
    {"BlackmanLowpass", "Form9", screenWith("lowpass", {"1000", "150", "15", "N"})},
    {"Bandpass", "Form10", screenWith("bandpass", {"1000", "100", "250", "21", "N"}), 2, 2},
    {"Highpass", "Form11", screenWith("highpass", {"1000", "350", "15", "N"})},
    {"Bandstop", "Form12", screenWith("bandstop", {"1000", "100", "250", "21", "N"}), 2, 1},
};
// clang-format on

class TapsOfEveryFilter : public ::testing::TestWithParam<FilterScreen> {
protected:
    void SetUp() override
    {
        const FilterScreen& c = GetParam();
        QStringList arguments = c.steps;
        for (const char* file : {"t.csv", "t.txt", "t.h", "t.py"})
            arguments << "--export"
                      << "taps" << m_folder.filePath(file);
        const ProgramRun run = runDsplab(arguments << "--snapshot" << m_folder.path());
        ASSERT_EQ(run.exitCode, 0) << text(run.errors);
        m_taps = secondColumn(m_folder.filePath("t.csv"));
        ASSERT_FALSE(m_taps.empty());
    }
    QTemporaryDir m_folder;
    std::vector<double> m_taps;
};

TEST_P(TapsOfEveryFilter, ReadBackToTheListedTaps)
{
    const QStringList listed = listedTaps(m_folder.path(), GetParam().form);
    ASSERT_EQ(listed.size(), static_cast<qsizetype>(m_taps.size()));
    for (std::size_t k = 0; k < m_taps.size(); ++k)
        EXPECT_EQ(QString::fromStdString(dsp::captionNumber(m_taps[k])),
                  listed[static_cast<qsizetype>(k)])
            << k;
    EXPECT_EQ(numbersOf(linesOf(m_folder.filePath("t.txt"))), m_taps);
}

TEST_P(TapsOfEveryFilter, CHeaderCompilesToTheSameNumbers)
{
    const QString cc = QStandardPaths::findExecutable("cc");
    if (cc.isEmpty())
        GTEST_SKIP() << "no C compiler (cc)";
    QFile source(m_folder.filePath("print.c"));
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.write("#include <stdio.h>\n#include \"t.h\"\nint main(void) {\n"
                 "  for (int k = 0; k < T_COUNT; ++k)\n"
                 "    printf(\"%.17g\\n\", t[k]);\n"
                 "  return 0;\n}\n");
    source.close();
    QProcess build;
    build.start(
        cc, {"-std=c99", "-Wall", "-Werror", "-o", m_folder.filePath("print"), source.fileName()});
    ASSERT_TRUE(build.waitForFinished(60000));
    ASSERT_EQ(build.exitCode(), 0) << build.readAllStandardError().toStdString();
    QProcess print;
    print.start(m_folder.filePath("print"), {});
    ASSERT_TRUE(print.waitForFinished(10000));
    EXPECT_EQ(numbersOf(outputLines(print)), m_taps);
}

TEST_P(TapsOfEveryFilter, PythonFileGivesTheSameNumbers)
{
    const QString python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty())
        GTEST_SKIP() << "no python3";
    QProcess run;
    const char* const kPrintTaps =
        "exec(open(__import__('sys').argv[1]).read())\nfor tap in taps: print(repr(tap))";
    run.start(python, {"-c", kPrintTaps, m_folder.filePath("t.py")});
    ASSERT_TRUE(run.waitForFinished(30000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    EXPECT_EQ(numbersOf(outputLines(run)), m_taps);
}

TEST_P(TapsOfEveryFilter, StateCarriesTheMeasuredFigures)
{
    QJsonObject figures;
    for (const QJsonValue& window : stateIn(m_folder.path()).value("windows").toArray())
        if (window.toObject().value("name").toString() == GetParam().form)
            figures = window.toObject().value("figures").toObject();
    EXPECT_EQ(figures.keys(),
              (QStringList{"minus3dbHz", "minus6dbHz", "passbandRippleDb", "stopbandPeakDb",
                           "transitionHz"}));
    // One entry per edge and per stop band, each a number or null.
    const auto expectEntries = [&](const char* key, qsizetype count) {
        const QJsonValue list = figures.value(key);
        ASSERT_TRUE(list.isArray()) << key;
        EXPECT_EQ(list.toArray().size(), count) << key;
        for (const QJsonValue& entry : list.toArray())
            EXPECT_TRUE(entry.isDouble() || entry.isNull()) << key;
    };
    for (const char* list : {"minus3dbHz", "minus6dbHz", "transitionHz"})
        expectEntries(list, GetParam().edges);
    expectEntries("stopbandPeakDb", GetParam().stopBands);
    // Two pass bands where the filter stops one band between them; one elsewhere.
    expectEntries("passbandRippleDb", GetParam().stopBands == 1 && GetParam().edges == 2 ? 2 : 1);
}

INSTANTIATE_TEST_SUITE_P(Screens, TapsOfEveryFilter, ::testing::ValuesIn(kFilterScreens),
                         tables::rowName);

} // namespace
