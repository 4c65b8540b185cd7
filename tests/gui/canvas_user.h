#pragma once

// A user at the canvas tools: opens a screen, answers its questions by typing, and works its
// drawing with real mouse and key events (through the window system's way in, so that a right
// click makes the context-menu event a real one does).

#include "forms/form.h"
#include "forms/runtime.h"
#include "program/session.h"

#include <QLabel>
#include <QMenu>
#include <QObject>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace canvastest {

using Answers = std::vector<std::pair<const char*, const char*>>;

// The question boxes' titles, as the screens ask them.
namespace questions {
inline constexpr const char* kSampling = "Sampling frequency in Hz";
inline constexpr const char* kCutoff = "Cutoff frequency in Hz [less than half the sampling freq.]";
inline constexpr const char* kCentre = "Center frequency in Hz";
inline constexpr const char* kTaps = "The number of taps [500 max.]";
inline constexpr const char* kPhase = "Plot the filter's phase response? [Y]es or [N]o";
inline constexpr const char* kPass = "Pass bandwidth in Hz [less than half the sampling freq.]";
inline constexpr const char* kStop = "Stop bandwidth in Hz [less than half the sampling freq.]";
inline constexpr const char* kOdd = "Number of Odd Harmonics";
inline constexpr const char* kCount = "Number of Harmonics";
inline constexpr const char* kRectify = "Choose one: [F]ull-wave or [H]alf-wave";
inline constexpr const char* kDuty = "Duty Cycle [0 to 1]";
} // namespace questions

// Runs actions from the event loop, each once it is ready, so that they also reach question
// boxes and modal windows while the program waits in them.
class Actions : public QObject {
public:
    Actions();
    void when(std::function<bool()> ready, std::function<void()> act);
    bool done() const { return m_queue.empty(); }

private:
    void tick();
    std::deque<std::pair<std::function<bool()>, std::function<void()>>> m_queue;
};

class CanvasUser : public ::testing::Test {
protected:
    void TearDown() override { stop(); }

    // Opens the screen and types the answers into its question boxes, in order.
    void open(const char* screen, const Answers& answers);
    void answer(const char* title, const char* text);
    // Waits until the queued actions are done and the check holds.
    bool settles(const std::function<bool()>& check = [] { return true; });
    // Runs the event loop until the check holds, at most five seconds, as QTRY_VERIFY waits
    // before it checks: the assertion that follows says what went wrong.
    static void waitUntil(const std::function<bool()>& check);
    void stop();

    forms::Runtime& runtime() { return m_session->runtime(); }
    forms::Form* window(const char* name);
    bool shows(const char* name);

    // A logical point of the 640 x 480 canvas as a pixel of the window's client area.
    static QPoint clientPoint(forms::Form* form, double x, double y);
    // Real events at a logical point of the canvas.
    void rightClick(forms::Form* form, double x, double y);
    void movePointer(forms::Form* form, double x, double y);
    void key(forms::Form* form, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void clickButton(forms::Form* form, const char* button);
    // Clicks a menu entry with the mouse.
    void pick(QMenu* menu, const char* entry);

    QMenu* canvasMenu(forms::Form* form);
    static QStringList entries(QMenu* menu);
    QLabel* readout(forms::Form* form);
    QLabel* note(forms::Form* form);

    Actions& actions() { return *m_actions; }

private:
    std::unique_ptr<program::Session> m_session;
    std::unique_ptr<Actions> m_actions;
    bool m_ended = false;
};

} // namespace canvastest
