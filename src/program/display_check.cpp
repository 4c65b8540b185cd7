#include "program/display_check.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>
#include <QStringList>

#include <dlfcn.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <thread>

namespace program {
namespace {

// How long the X server may take to greet a new connection.
constexpr std::chrono::seconds kDisplayWait{5};

// The platform names Qt would try, in order: QT_QPA_PLATFORM's list, or what it picks itself.
QStringList platformCandidates()
{
    const QString chosen = qEnvironmentVariable("QT_QPA_PLATFORM");
    QStringList candidates;
    if (!chosen.isEmpty()) {
        for (const QString& entry : chosen.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            candidates << entry.section(QLatin1Char(':'), 0, 0).trimmed();
        return candidates;
    }
    if (qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland"))
        candidates << QStringLiteral("wayland");
    candidates << QStringLiteral("xcb");
    return candidates;
}

// The keys of every platform plugin Qt can find, read from the plugins' metadata (nothing is
// loaded).
QStringList platformKeys()
{
    QStringList folders;
    for (const QString& path : qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH")
                                   .split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders << path;
    for (const QString& path :
         qEnvironmentVariable("QT_PLUGIN_PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders << path + QStringLiteral("/platforms");
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    QStringList keys;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QString& file : dir.entryList(QDir::Files)) {
            const QJsonObject meta = QPluginLoader(dir.filePath(file)).metaData();
            for (const QJsonValue& key : meta.value(QStringLiteral("MetaData"))
                                             .toObject()
                                             .value(QStringLiteral("Keys"))
                                             .toArray())
                if (!keys.contains(key.toString(), Qt::CaseInsensitive))
                    keys << key.toString();
        }
    }
    keys.sort();
    return keys;
}

// Connects to the X server as the xcb platform will, through the same library it uses.
QString xcbProblem()
{
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty())
        return QStringLiteral("DISPLAY is not set");
    void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!xcb)
        return QStringLiteral("the X client library libxcb.so.1 is missing");
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    const auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
    if (!connect || !hasError || !disconnect) {
        dlclose(xcb);
        return QStringLiteral("the X client library libxcb.so.1 is incomplete");
    }
    // xcb_connect waits for the server's greeting without a time limit, so it runs aside and the
    // check waits for it a few seconds at most. A server that never answers keeps that thread
    // (and the library) until the program exits, which it then does.
    auto answer = std::make_shared<std::promise<bool>>();
    std::future<bool> answered = answer->get_future();
    std::thread attempt([=] {
        void* connection = connect(display.constData(), nullptr);
        const bool fine = !hasError(connection);
        disconnect(connection);
        answer->set_value(fine);
    });
    const QString shown = QString::fromLocal8Bit(display);
    if (answered.wait_for(kDisplayWait) != std::future_status::ready) {
        attempt.detach();
        return QStringLiteral("the X display \"%1\" (DISPLAY) does not answer within %2 seconds")
            .arg(shown)
            .arg(kDisplayWait.count());
    }
    attempt.join();
    dlclose(xcb);
    if (!answered.get())
        return QStringLiteral("the X display \"%1\" (DISPLAY) does not answer").arg(shown);
    return QString();
}

// Connects to the Wayland compositor's socket.
QString waylandProblem()
{
    QByteArray name = qgetenv("WAYLAND_DISPLAY");
    if (name.isEmpty())
        name = "wayland-0";
    QByteArray path = name;
    if (!name.startsWith('/')) {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty())
            return QStringLiteral(
                "XDG_RUNTIME_DIR is not set, so the Wayland display cannot be found");
        path = runtime + '/' + name;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path)
        return QStringLiteral("the Wayland socket path %1 is too long")
            .arg(QString::fromLocal8Bit(path));
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool answered =
        fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        close(fd);
    if (!answered)
        return QStringLiteral("the Wayland display \"%1\" does not answer")
            .arg(QString::fromLocal8Bit(name));
    return QString();
}

// Why the platform cannot open a window, in one line; empty when it can.
QString problemWith(const QString& platform, const QStringList& keys)
{
    const QString cannot = QStringLiteral("cannot open a window: ");
    if (!keys.contains(platform, Qt::CaseInsensitive))
        return cannot
            + QStringLiteral("Qt has no display platform \"%1\" (it has %2)")
                  .arg(platform, keys.join(QStringLiteral(", ")));
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return QStringLiteral(
                   "there is no display to answer on (QT_QPA_PLATFORM=%1 shows no window); "
                   "give the answers with --answer and --click, or render pictures with --snapshot "
                   "DIR")
            .arg(platform);
    const QString problem = platform == QLatin1String("xcb") ? xcbProblem()
        : platform.startsWith(QLatin1String("wayland"))      ? waylandProblem()
                                                             : QString();
    if (!problem.isEmpty())
        return cannot + problem;
    return QString(); // eglfs, linuxfb, vnc, ...: Qt's own business
}

} // namespace

QString displayProblem()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return QStringLiteral(
            "there is no display to open a window on (DISPLAY and WAYLAND_DISPLAY are not set); "
            "render pictures with --snapshot DIR");
    const QStringList keys = platformKeys();
    QString first;
    for (const QString& platform : platformCandidates()) {
        const QString problem = problemWith(platform, keys);
        if (problem.isEmpty())
            return QString();
        if (first.isEmpty())
            first = problem;
    }
    return first;
}

namespace {

// The private runtime folder, for the handler of the signals that end the program: it may make
// only async-signal-safe calls, so the path is kept ready in a plain buffer.
char runtimeFolderPath[PATH_MAX];
volatile std::sig_atomic_t runtimeFolderMade = 0;

constexpr int kEndingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM, SIGPIPE,
                                  SIGALRM, SIGUSR1, SIGUSR2, SIGABRT};

// Removes the folder (Qt puts nothing in it), then lets the signal end the program as it would
// have: the handler was reset to the default on entry, and the signal raised again is delivered
// as soon as the handler returns.
extern "C" void removeRuntimeFolderAndEnd(int signal)
{
    const int saved = errno;
    if (runtimeFolderMade)
        ::rmdir(runtimeFolderPath);
    ::raise(signal);
    errno = saved;
}

sigset_t endingSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kEndingSignals)
        sigaddset(&set, signal);
    return set;
}

// Signals the program was started ignoring stay ignored (nohup, a background job).
void removeRuntimeFolderOnEndingSignals()
{
    struct sigaction action { };
    action.sa_handler = removeRuntimeFolderAndEnd;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signal : kEndingSignals) {
        struct sigaction before { };
        if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
            ::sigaction(signal, &action, nullptr);
    }
}

// Makes the folder and notes it for the handler with the ending signals held back meanwhile,
// so that no signal comes between the two.
bool makeRuntimeFolder(QByteArray& pattern)
{
    const sigset_t held = endingSignals();
    sigset_t before;
    ::pthread_sigmask(SIG_BLOCK, &held, &before);
    const bool made = mkdtemp(pattern.data()) != nullptr; // mode 0700, as Qt wants it
    if (made) {
        std::memcpy(runtimeFolderPath, pattern.constData(), std::size_t(pattern.size()) + 1);
        runtimeFolderMade = 1;
    }
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return made;
}

} // namespace

PrivateRuntimeFolder::PrivateRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    QByteArray pattern = QFile::encodeName(QDir::tempPath()) + "/dsplab-runtime-XXXXXX";
    if (pattern.size() >= qsizetype(sizeof runtimeFolderPath))
        return;
    removeRuntimeFolderOnEndingSignals();
    if (!makeRuntimeFolder(pattern))
        return;
    m_path = QFile::decodeName(pattern);
    qputenv("XDG_RUNTIME_DIR", pattern);
}

PrivateRuntimeFolder::~PrivateRuntimeFolder()
{
    if (m_path.isEmpty())
        return;
    QDir(m_path).removeRecursively();
    runtimeFolderMade = 0;
    qunsetenv("XDG_RUNTIME_DIR");
}

} // namespace program
