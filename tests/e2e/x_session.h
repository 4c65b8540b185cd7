#pragma once

#include "support/wait_until.h"

#include <QImage>
#include <QJsonObject>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace e2e {

// An X server of our own (Xvfb) with a small window manager (openbox), as a desktop would have.
class XSession {
public:
    explicit XSession(QSize screen = QSize(1600, 1000));
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    bool ready() const { return m_ready; }
    const QString& display() const { return m_display; }
    QProcessEnvironment environment() const;

    // Runs an X client (xdotool, xwininfo, import) to its end; its standard output.
    QByteArray run(const QString& program, const QStringList& arguments,
                   int timeoutMs = 15000) const;

private:
    QProcess m_server;
    QProcess m_windowManager;
    QString m_display;
    bool m_ready = false;
};

using testsupport::waitUntil;

// Tests of a suite share one X server, started for the suite; each test is skipped on a machine
// where none can start.
class XServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_x = std::make_unique<XSession>(); }
    static void TearDownTestSuite() { s_x.reset(); }
    void SetUp() override
    {
        if (!s_x->ready())
            GTEST_SKIP() << "no X server with a window manager could be started (Xvfb and openbox)";
    }

    static inline std::unique_ptr<XSession> s_x;
};

// The program in a real window on the session's display, driven by real X events.
class RealProgram {
public:
    // `launcher` runs the program (a memory checker, say); it is started directly without one.
    RealProgram(const XSession& session, const QStringList& arguments,
                const QProcessEnvironment& extra = QProcessEnvironment(),
                const QStringList& launcher = {});
    // Starts a command that ends by becoming the program (a script that execs it).
    struct Command {
        QString program;
        QStringList arguments;
    };
    RealProgram(const XSession& session, const Command& command,
                const QProcessEnvironment& extra = QProcessEnvironment());
    ~RealProgram();

    // The visible top-level window of this program with exactly this title, once it shows.
    std::optional<QString> window(const QString& title, int timeoutMs = 15000) const;
    // Answers the question box of this title: types over the offered answer and presses Return.
    bool answer(const QString& title, const QString& text) const;
    void key(const QString& keys) const;
    void type(const QString& text) const;
    void activate(const QString& windowId) const;
    // Clicks the left mouse button at a point of a window's client area (logical pixels).
    void click(const QString& windowId, QPoint clientPoint, int clientHeight) const;
    QImage picture(const QString& windowId) const;
    // The window's outer frame (as placed by the window manager) and its own area, on the screen.
    QRect frame(const QString& windowId) const;
    QRect area(const QString& windowId) const;

    bool finished(int timeoutMs = 15000);
    int exitCode() const { return m_process.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return m_process.exitStatus(); }
    QString errors() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }

private:
    const XSession& m_session;
    QProcess m_process;
};

// The same session as a scripted run: its state.json and the window pictures it wrote.
struct SnapshotRun {
    int exitCode = -1;
    QJsonObject state;
    QString folder;
    QImage picture(const QString& form) const;
    QImage canvas(const QString& form) const;
    QJsonObject window(const QString& form) const;
};
SnapshotRun snapshot(const QStringList& arguments, const QString& folder);

// The client area of a real window's picture (the menu bar above it cut off).
QImage clientOf(const QImage& windowPicture, QSize client);

// Pixels where the two pictures differ outside the places of some controls: those that can take
// the focus or show the pointer over them (their look then depends on where the pointer and focus
// are), or every control (to compare a window with the drawing under its controls).
enum class Mask { FocusableControls, AllControls };
int differingPixels(const QImage& shown, const QImage& expected, const QJsonObject& window,
                    Mask mask = Mask::FocusableControls);

} // namespace e2e
