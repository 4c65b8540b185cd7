#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    int exitCode = -1;
    QString errors;
    QString output;
    QJsonObject state;
};

// Runs the real program with the arguments and, when it wrote one, reads its snapshot.
ProgramRun runProgram(QStringList arguments, const QString& folder = QString())
{
    if (!folder.isEmpty())
        arguments << QStringLiteral("--snapshot") << folder;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(DSPLAB_BINARY), arguments);
    ProgramRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitCode();
    run.errors = QString::fromLocal8Bit(process.readAllStandardError());
    run.output = QString::fromLocal8Bit(process.readAllStandardOutput());
    QFile json(QDir(folder).filePath(QStringLiteral("state.json")));
    if (!folder.isEmpty() && json.open(QIODevice::ReadOnly))
        run.state = QJsonDocument::fromJson(json.readAll()).object();
    return run;
}

TEST(SnapshotCli, SquareScreenWritesPicturesAndState)
{
    QTemporaryDir folder;
    const ProgramRun run = runProgram({"--screen", "square", "--answer", "3"}, folder.path());
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_FALSE(run.state.value("ended").toBool());
    const QJsonArray windows = run.state.value("windows").toArray();
    ASSERT_EQ(windows.size(), 1);
    const QJsonObject controls = windows[0].toObject().value("controls").toObject();
    EXPECT_EQ(controls.value("Label1").toString(), "Number of Odd Harmonics  =   3");
    EXPECT_EQ(controls.value("Label2").toString(), "Risetime  =  .35 Divisions");
    EXPECT_TRUE(QFile::exists(QDir(folder.path()).filePath("Form3.png")));
    EXPECT_TRUE(QFile::exists(QDir(folder.path()).filePath("Form3.canvas.png")));
}

TEST(SnapshotCli, NegativeCountEndsTheProgram)
{
    QTemporaryDir folder;
    const ProgramRun run = runProgram({"--screen", "square", "--answer", "-1"}, folder.path());
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.state.value("ended").toBool());
    EXPECT_TRUE(run.state.value("windows").toArray().isEmpty());
}

TEST(SnapshotCli, StepThatCannotBeCarriedOutFailsWithCodeTwo)
{
    QTemporaryDir folder;
    const ProgramRun run = runProgram({"--click", "No Such Button"}, folder.path());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.errors.contains("step 1")) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains("No Such Button")) << run.errors.toStdString();
}

TEST(SnapshotCli, HelpVersionAndBadOptions)
{
    const ProgramRun help = runProgram({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.output.contains("--snapshot"));
    const ProgramRun version = runProgram({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.output.startsWith("dsplab "));
    EXPECT_EQ(runProgram({"--bogus"}).exitCode, 2);
    EXPECT_EQ(runProgram({"--screen", "nowhere"}).exitCode, 2);
}

} // namespace
