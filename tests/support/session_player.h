#pragma once

#include "forms/driver.h"
#include "screens/shared_state.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace forms {
class Runtime;
}

namespace playback {

// What the program offers the user at one moment: the open question box, or the controls of
// the topmost window.
struct Offer {
    bool promptOpen = false;
    QString promptTitle;
    QString promptDefault;
    QString topWindow;   // empty when no window is open
    QStringList buttons; // visible push buttons, captions as the driver matches them
    QStringList checkBoxes;
    QStringList menuItems; // "Help/About"
    int openWindows = 0;
};

Offer offerOf(forms::Runtime& runtime);

// The screens that the program registers, in the order of its form names.
QStringList registeredScreens();

// Aborts the process when one step runs longer than its limit: a hang is a fault, and a report
// that names the step beats a test run that never ends.
class StepWatchdog {
public:
    StepWatchdog();
    ~StepWatchdog();
    void arm(std::chrono::milliseconds limit, const QString& step);
    void disarm();

private:
    void watch();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<std::chrono::steady_clock::time_point> m_deadline;
    std::string m_step;
    bool m_stopping = false;
    std::thread m_thread;
};

// Plays one run of the program a step at a time, like the scripted driver, except that each
// step is chosen once the previous one is done and the program waits for the user again, from
// what it offers then. Returning no step ends the run.
class SteppedSession : public QObject {
    Q_OBJECT
public:
    using Chooser = std::function<std::optional<forms::Step>(forms::Runtime&, const Offer&)>;

    struct Result {
        int steps = 0;
        bool ended = false; // the program ended by itself (End, or its last window closed)
        QString failure;    // the driver could not carry out a chosen step
        QStringList script; // the run as command-line options, for replaying it
        long nonFiniteCoordinates = 0; // drawing calls handed a coordinate that is not a number
    };

    SteppedSession(QString screen, Chooser choose, std::chrono::milliseconds stepLimit);
    ~SteppedSession() override;

    Result play();

private:
    void next();
    void finish();

    QString m_screen;
    Chooser m_choose;
    std::chrono::milliseconds m_stepLimit;
    screens::SharedState m_shared;
    std::unique_ptr<forms::Runtime> m_runtime;
    std::unique_ptr<forms::Driver> m_driver;
    StepWatchdog m_watchdog;
    Result m_result;
    bool m_finishing = false;
    std::function<void()> m_quit;
};

} // namespace playback
