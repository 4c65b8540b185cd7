#pragma once

#include "forms/driver.h"
#include "forms/runtime.h"
#include "forms/snapshot.h"
#include "screens/shared_state.h"

#include <QObject>

#include <memory>

namespace program {

// One run of the program: the screens, and the scripted steps and snapshot when the command
// line asks for them. The program itself and the GUI tests both run through it.
class Session : public QObject {
    Q_OBJECT
public:
    explicit Session(forms::Script script, QObject* parent = nullptr);
    ~Session() override;

    // Checks the command line; an empty text means the session can start.
    QString problem() const;
    void start();

    int exitCode() const { return m_exitCode; }
    const QString& failure() const { return m_failure; }
    const forms::Snapshot& snapshot() const { return m_snapshot; }
    forms::Runtime& runtime() { return *m_runtime; }

signals:
    void finished(int exitCode);

private:
    bool takeAndWriteSnapshot();
    void stepsDone();
    void stepFailed(const QString& message);
    void programEnded();
    void finish(int exitCode);

    forms::Script m_script;
    QString m_screen;
    screens::SharedState m_shared; // declared before the runtime, so that it outlives the screens
    std::unique_ptr<forms::Runtime> m_runtime;
    std::unique_ptr<forms::Driver> m_driver;
    forms::Snapshot m_snapshot;
    QString m_failure;
    int m_exitCode = 0;
    bool m_programGone = false;
    bool m_finishing = false;
    bool m_finished = false;
};

// Runs a whole scripted session to its end in a local event loop (for tests).
struct SessionResult {
    int exitCode = 0;
    QString failure;
    forms::Snapshot snapshot;
    long nonFiniteCoordinates = 0; // drawing calls handed a coordinate that is not a number
    const QJsonObject& state() const { return snapshot.state; }
};
SessionResult runSession(const QStringList& arguments);

} // namespace program
