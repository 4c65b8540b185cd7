#include "program/session.h"

#include "program/screen_registry.h"

#include <QEventLoop>
#include <QJsonObject>
#include <QTimer>

#include <cstdio>

namespace program {

Session::Session(forms::Script script, QObject* parent)
    : QObject(parent), m_script(std::move(script)), m_runtime(std::make_unique<forms::Runtime>())
{
    m_screen =
        m_script.screen.isEmpty() ? QStringLiteral("Form1") : resolveScreenName(m_script.screen);
    registerScreens(*m_runtime, m_shared);
    connect(m_runtime.get(), &forms::Runtime::programEnded, this, &Session::programEnded);
}

Session::~Session()
{
    m_driver.reset();
    m_runtime.reset();
}

QString Session::problem() const
{
    if (!m_script.error.isEmpty())
        return m_script.error;
    if (m_screen.isEmpty() || !m_runtime->knows(m_screen))
        return QStringLiteral("unknown screen %1 (try --help)").arg(m_script.screen);
    return QString();
}

void Session::start()
{
    m_shared = {};
    if (m_script.slideScale)
        m_shared.canvasTools.slideScale = *m_script.slideScale;
    const QString screen = m_screen;
    QTimer::singleShot(0, m_runtime.get(), [this, screen] { m_runtime->start(screen); });
    if (!m_script.scripted())
        return;
    m_driver = std::make_unique<forms::Driver>(*m_runtime, m_script.steps);
    connect(m_driver.get(), &forms::Driver::stepsDone, this, &Session::stepsDone);
    connect(m_driver.get(), &forms::Driver::failed, this, &Session::stepFailed);
    m_driver->begin();
}

// The program as the steps left it, written out when the command line asks for it; false when
// the folder could not be written (the reason is then reported).
bool Session::takeAndWriteSnapshot()
{
    m_snapshot = forms::takeSnapshot(*m_runtime, screens::toJson(m_shared));
    if (const auto failed = m_driver ? m_driver->failedStep() : std::nullopt) {
        QJsonObject step{{QStringLiteral("number"), failed->number},
                         {QStringLiteral("step"), failed->step},
                         {QStringLiteral("reason"), failed->reason}};
        if (!failed->refusal.isEmpty())
            step.insert(QStringLiteral("refusal"), failed->refusal);
        m_snapshot.state.insert(QStringLiteral("failedStep"), step);
    }
    if (!m_script.snapshotFolder)
        return true;
    QString error;
    const QList<QByteArray> exported = m_driver ? m_driver->filesWritten() : QList<QByteArray>();
    if (forms::writeSnapshot(m_snapshot, m_script.snapshotPath, &error, exported))
        return true;
    std::fprintf(stderr, "dsplab: %s\n", qPrintable(error));
    if (m_failure.isEmpty())
        m_failure = error;
    return false;
}

void Session::stepsDone() { finish(takeAndWriteSnapshot() ? 0 : 1); }

// The run stops at the step, with the state at that moment kept (and written with --snapshot).
void Session::stepFailed(const QString& message)
{
    m_failure = message;
    std::fprintf(stderr, "dsplab: %s\n", qPrintable(message));
    takeAndWriteSnapshot();
    finish(2);
}

void Session::programEnded()
{
    m_programGone = true;
    if (m_finishing || !m_driver)
        finish(m_exitCode);
}

// The run is over: end the program if it still runs, and report once everything has unwound.
void Session::finish(int exitCode)
{
    if (m_finished)
        return;
    m_exitCode = exitCode;
    m_finishing = true;
    if (!m_programGone) {
        m_runtime->shutdown();
        return;
    }
    m_finished = true;
    emit finished(m_exitCode);
}

SessionResult runSession(const QStringList& arguments)
{
    forms::Script script = forms::parseScript(arguments);
    script.capture = true;
    Session session(script);
    SessionResult result;
    if (const QString problem = session.problem(); !problem.isEmpty()) {
        result.exitCode = 2;
        result.failure = problem;
        return result;
    }
    QEventLoop loop;
    QObject::connect(&session, &Session::finished, &loop, [&loop](int) { loop.quit(); });
    session.start();
    loop.exec();
    result.exitCode = session.exitCode();
    result.failure = session.failure();
    result.snapshot = session.snapshot();
    result.nonFiniteCoordinates = session.runtime().nonFiniteCoordinates();
    return result;
}

} // namespace program
