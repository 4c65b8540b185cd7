#include "app/identity.h"
#include "app/session.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

bool hasDisplay()
{
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

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

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char** argv)
{
    const forms::Script script = forms::parseScript(argumentsOf(argc, argv));
    if (script.help) {
        std::fputs(qPrintable(forms::usage()), stdout);
        return 0;
    }
    if (script.version) {
        std::printf("dsplab %s\n", DSPLAB_VERSION);
        return 0;
    }
    if (!script.error.isEmpty()) {
        std::fprintf(stderr, "dsplab: %s\n\n%s", qPrintable(script.error), qPrintable(forms::usage()));
        return 2;
    }
    if (!hasDisplay()) {
        if (!script.scripted()) {
            std::fputs("dsplab: there is no display to open a window on (DISPLAY and WAYLAND_DISPLAY are "
                       "not set).\nRun it on a desktop, or render pictures with --snapshot DIR.\n",
                       stderr);
            return 1;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
        qInstallMessageHandler(quietOffscreenNotes);

    QApplication application(argc, argv);
    app::applyIdentity();

    app::Session session(script);
    if (const QString problem = session.problem(); !problem.isEmpty()) {
        std::fprintf(stderr, "dsplab: %s\n", qPrintable(problem));
        return 2;
    }
    QObject::connect(&session, &app::Session::finished, &application,
                     [](int code) { QCoreApplication::exit(code); });
    session.start();
    return QApplication::exec();
}
