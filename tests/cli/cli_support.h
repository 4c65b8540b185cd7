#pragma once

// Runs the real program as a user or a script would, and reads what it wrote.

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <functional>

namespace clitest {

struct ProgramRun {
    int exitCode = -1;
    bool finished = false;
    QString errors;
    QString output;
};

// The program with the arguments, offscreen unless `environment` changes it. `wrapper`, when
// given, is a shell line that execs "$0" "$@" (so limits can be set for the program alone).
inline ProgramRun runDsplab(const QStringList& arguments,
                            const std::function<void(QProcessEnvironment&)>& environment = {},
                            const QString& wrapper = QString())
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (environment)
        environment(env);
    process.setProcessEnvironment(env);
    if (wrapper.isEmpty())
        process.start(QStringLiteral(DSPLAB_BINARY), arguments);
    else
        process.start(QStringLiteral("/bin/sh"),
                      QStringList{QStringLiteral("-c"), wrapper, QStringLiteral(DSPLAB_BINARY)}
                          + arguments);
    ProgramRun run;
    run.finished = process.waitForFinished(60000);
    if (!run.finished) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.errors = QString::fromLocal8Bit(process.readAllStandardError());
    run.output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return run;
}

inline QJsonObject stateIn(const QString& folder)
{
    QFile json(QDir(folder).filePath(QStringLiteral("state.json")));
    if (!json.open(QIODevice::ReadOnly))
        return QJsonObject();
    return QJsonDocument::fromJson(json.readAll()).object();
}

// Every entry of the folder, hidden ones included, sorted.
inline QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// --screen NAME, then each answer as --answer.
inline QStringList screenWith(const char* screen, const QStringList& answers)
{
    QStringList arguments{QStringLiteral("--screen"), QString::fromLatin1(screen)};
    for (const QString& answer : answers)
        arguments << QStringLiteral("--answer") << answer;
    return arguments;
}

// The message lines the program wrote, without Qt's own notes.
inline QStringList messageLines(const ProgramRun& run)
{
    return run.errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace clitest
