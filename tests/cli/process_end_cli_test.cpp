// How the program ends when it is told to or cannot go on: a signal that ends it takes the
// private runtime folder with it, and a display that never answers is given up on with one line.

#include "cli_support.h"
#include "support/test_tables.h"
#include "support/wait_until.h"

#include <QLibraryInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <vector>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using namespace clitest;

std::string text(const QString& s) { return s.toStdString(); }

bool hasPlatform(const char* plugin)
{
    return QFile::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms/" + plugin);
}

// Starts the program with the signals below at their defaults (a test run as a background job
// would pass SIGINT on ignored) and its output thrown away.
pid_t spawnDsplab(const QStringList& arguments, const QProcessEnvironment& environment)
{
    std::vector<QByteArray> bytes{DSPLAB_BINARY};
    for (const QString& argument : arguments)
        bytes.push_back(argument.toLocal8Bit());
    std::vector<QByteArray> settings;
    for (const QString& setting : environment.toStringList())
        settings.push_back(setting.toLocal8Bit());
    const auto pointers = [](std::vector<QByteArray>& list) {
        std::vector<char*> result;
        for (QByteArray& item : list)
            result.push_back(item.data());
        result.push_back(nullptr);
        return result;
    };
    std::vector<char*> argv = pointers(bytes);
    std::vector<char*> envp = pointers(settings);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return pid;
}

// Polls the condition while the process runs, for up to a minute; true once it holds, false
// once the process has ended (it is then reaped) or the minute is up.
bool holdsWhileRunning(pid_t pid, const std::function<bool()>& condition)
{
    bool holds = false;
    testsupport::waitUntil(
        [&] {
            holds = condition();
            return holds || waitpid(pid, nullptr, WNOHANG) != 0;
        },
        60000, 10);
    return holds;
}

// Waits until something appears in the folder or the process ends; true for the first.
bool waitForAnEntry(const QString& folder, pid_t pid)
{
    return holdsWhileRunning(pid, [&] { return !entriesOf(folder).isEmpty(); });
}

sockaddr_in loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A TCP port nothing listens on, as the system picks one.
int freePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    close(fd);
    return ntohs(address.sin_port);
}

// Whether the program's VNC server greets a client on the port. It greets from the event loop,
// so the program has then started and waits for the user.
bool greets(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(port);
    char greeting[4] = {};
    const auto* at = reinterpret_cast<const sockaddr*>(&address);
    const bool greeted = connect(fd, at, sizeof address) == 0
        && recv(fd, greeting, sizeof greeting, MSG_WAITALL) == 4
        && QByteArray(greeting, 4) == "RFB ";
    close(fd);
    return greeted;
}

// Waits until the program greets on the port or ends; true for the first.
bool waitForTheGreeting(int port, pid_t pid)
{
    return holdsWhileRunning(pid, [port] { return greets(port); });
}

enum class Moment { FolderMade, WaitingOnTheQuestion };

struct EndingSignal {
    const char* name;
    int signal;
    Moment moment;
};

class EndingSignals : public ::testing::TestWithParam<EndingSignal> { };

// The square wave's screen asks a question as it opens; the program shows it on a display of
// its own (a VNC server on a free port) and, with no runtime folder given, makes its private one
// in the temporary area. The signal comes as soon as that folder is there, or once the program
// waits on the question.
TEST_P(EndingSignals, TakeTheRuntimeFolderAndEndTheProgramAsTheyWould)
{
    if (!hasPlatform("libqvnc.so"))
        GTEST_SKIP() << "Qt's VNC platform is not installed";
    const EndingSignal& c = GetParam();
    QTemporaryDir temporaryArea;
    const int port = freePort();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("XDG_RUNTIME_DIR");
    environment.insert("TMPDIR", temporaryArea.path());
    environment.insert("QT_QPA_PLATFORM", QStringLiteral("vnc:port=%1").arg(port));
    const pid_t pid = spawnDsplab({"--screen", "square"}, environment);
    ASSERT_GT(pid, 0);
    const bool started = c.moment == Moment::FolderMade ? waitForAnEntry(temporaryArea.path(), pid)
                                                        : waitForTheGreeting(port, pid);
    kill(pid, started ? c.signal : SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(started) << "the program made no runtime folder";

    ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << status;
    EXPECT_EQ(WTERMSIG(status), c.signal);
    const QStringList left = entriesOf(temporaryArea.path());
    EXPECT_TRUE(left.isEmpty()) << text(left.join(' '));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, EndingSignals, ::testing::Values(
    EndingSignal{"InterruptAtOnce", SIGINT, Moment::FolderMade},
    EndingSignal{"TerminateAtOnce", SIGTERM, Moment::FolderMade},
    EndingSignal{"HangUpAtOnce", SIGHUP, Moment::FolderMade},
    EndingSignal{"InterruptOnTheQuestion", SIGINT, Moment::WaitingOnTheQuestion},
    EndingSignal{"TerminateOnTheQuestion", SIGTERM, Moment::WaitingOnTheQuestion},
    EndingSignal{"HangUpOnTheQuestion", SIGHUP, Moment::WaitingOnTheQuestion}),
    tables::rowName);
// clang-format on

// A TCP port on this machine where an X server with that display number would listen, held by
// a socket that accepts connections (the system completes them) but never answers; or, when
// `listening` is false, a port nothing listens on.
class FakeXServer {
public:
    explicit FakeXServer(bool listening)
    {
        for (m_display = 60; m_display < 200; ++m_display) {
            m_socket = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in address = loopback(6000 + m_display);
            if (bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
                && listen(m_socket, 8) == 0)
                break;
            close(m_socket);
            m_socket = -1;
        }
        if (!listening && m_socket >= 0) {
            close(m_socket);
            m_socket = -1;
        }
    }
    ~FakeXServer()
    {
        if (m_socket >= 0)
            close(m_socket);
    }
    QString display() const { return QStringLiteral("127.0.0.1:%1").arg(m_display); }

private:
    int m_socket = -1;
    int m_display = 0;
};

struct SilentDisplay {
    const char* name;
    bool listening;
};

class SilentDisplays : public ::testing::TestWithParam<SilentDisplay> { };

TEST_P(SilentDisplays, AreReportedInOneLineWithExitCode1)
{
    if (!hasPlatform("libqxcb.so"))
        GTEST_SKIP() << "Qt's X platform is not installed";
    const FakeXServer server(GetParam().listening);
    const ProgramRun run = runDsplab({}, [&](QProcessEnvironment& env) {
        for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"})
            env.remove(name);
        env.insert("DISPLAY", server.display());
    });
    ASSERT_TRUE(run.finished) << "the program still waits for the display";
    EXPECT_EQ(run.exitCode, 1) << text(run.errors);
    ASSERT_EQ(messageLines(run).size(), 1) << text(run.errors);
    const QString named = "the X display \"" + server.display() + "\" (DISPLAY) does not answer";
    EXPECT_TRUE(run.errors.contains(named)) << text(run.errors);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, SilentDisplays, ::testing::Values(
    SilentDisplay{"AcceptsButNeverAnswers", true},
    SilentDisplay{"RefusesTheConnection", false}),
    tables::rowName);
// clang-format on

} // namespace
