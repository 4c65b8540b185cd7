#include "forms/memory_tuning.h"
#include "program/display_check.h"
#include "program/help_text.h"
#include "program/identity.h"
#include "program/screen_registry.h"
#include "program/session.h"
#include "screens/preferences.h"

#include <QApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

// Drawing offscreen, Qt notes what the platform cannot do (raise a window, hint its size) and that
// there is no session runtime folder; none of it matters to a snapshot, so those notes are dropped.
void quietOffscreenNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    static const char* const kNotes[] = {"This plugin does not support", "XDG_RUNTIME_DIR not set"};
    for (const char* note : kNotes)
        if (message.contains(QLatin1String(note)))
            return;
    std::fputs(qPrintable(qFormatLogMessage(type, context, message) + QLatin1Char('\n')), stderr);
}

// The arguments as text, and as the bytes they are: file names are used byte for byte, since
// text cannot carry bytes that are not UTF-8 and would name another file.
forms::Script scriptOf(int argc, char** argv)
{
    QStringList arguments;
    QList<QByteArray> bytes;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
        bytes << QByteArray(argv[i]);
    }
    return forms::parseScript(arguments, bytes);
}

// What the command line alone answers (help, version, a mistake), with its exit code; nothing
// when the program is to run.
std::optional<int> answeredByTheCommandLine(const forms::Script& script)
{
    if (script.help) {
        std::fputs(qPrintable(program::usage()), stdout);
        return 0;
    }
    if (script.version) {
        std::printf("dsplab %s\n", DSPLAB_VERSION);
        return 0;
    }
    if (!script.error.isEmpty()) {
        std::fprintf(stderr, "dsplab: %s (see dsplab --help)\n", qPrintable(script.error));
        return 2;
    }
    if (!script.screen.isEmpty() && program::resolveScreenName(script.screen).isEmpty()) {
        std::fprintf(stderr, "dsplab: unknown screen %s (see dsplab --help)\n",
                     qPrintable(script.screen));
        return 2;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    // Past a file size limit a write then fails with its error, which is reported, instead of
    // ending the program with a half-written temporary file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    forms::keepFreedMemoryForRedraws();
    const forms::Script script = scriptOf(argc, argv);
    if (const auto exitCode = answeredByTheCommandLine(script))
        return *exitCode;
    // A snapshot is drawn offscreen whatever the display, so that it needs none and comes out the
    // same everywhere; steps alone use the display when there is one.
    if (script.snapshotFolder) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else if (const QString problem = program::displayProblem(); !problem.isEmpty()) {
        if (!script.scripted()) {
            std::fprintf(stderr, "dsplab: %s\n", qPrintable(problem));
            return 1;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
        qInstallMessageHandler(quietOffscreenNotes);

    const program::PrivateRuntimeFolder runtimeFolder;
    QApplication application(argc, argv);
    program::applyIdentity();
    // The lecturer's choices are read and kept by a session at the desk, never by a scripted one.
    if (!script.scripted() && !script.snapshotFolder)
        screens::Preferences::instance().keepBetweenRuns();

    program::Session session(script);
    if (const QString problem = session.problem(); !problem.isEmpty()) {
        std::fprintf(stderr, "dsplab: %s\n", qPrintable(problem));
        return 2;
    }
    QObject::connect(&session, &program::Session::finished, &application,
                     [](int code) { QCoreApplication::exit(code); });
    session.start();
    return QApplication::exec();
}
