// A drag on the Explore panel in a real window: the Blackman lowpass screen with its phase trace,
// the tap count taken from 400 up to 500 and back by 200 Up and Down key presses on the panel's
// spin box. For each change it times, from the key press:
//   - to the end of the canvas widget's last Paint event of the redraw (the event is handled
//     inside an event filter on the canvas, so its end can be timed), and
//   - to the event loop having nothing left to do (the paint flushed to the window).
// It prints the median and the 95th percentile of each. Run it under a real X server
// (bench/explore-drag.sh starts Xvfb and openbox) with QT_QPA_PLATFORM=xcb.
#include "forms/form.h"
#include "forms/memory_tuning.h"
#include "forms/runtime.h"
#include "program/session.h"
#include "screens/canvas_tools.h"
#include "screens/explore_panel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kChanges = 200;
const QStringList kAnswers{"1000", "150", "400", "Y"}; // fs, cutoff, taps, phase

// Handles the canvas's Paint events itself, so that the end of each is known.
class PaintClock : public QObject {
public:
    explicit PaintClock(const QElapsedTimer& clock) : m_clock(clock) { }
    qint64 lastPaintEnd = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        watched->event(event); // QObject::event is public; the widget paints here
        lastPaintEnd = m_clock.nsecsElapsed();
        return true;
    }

private:
    const QElapsedTimer& m_clock;
};

void press(QWidget* widget, Qt::Key key)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &down);
    QApplication::sendEvent(widget, &up);
}

double percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    return values[index];
}

void report(const char* what, const std::vector<double>& millis)
{
    std::printf("%-44s median %7.3f ms   p95 %7.3f ms\n", what, percentile(millis, 0.5),
                percentile(millis, 0.95));
}

void drag(forms::Form& form, program::Session& session)
{
    auto* tools = form.findChild<screens::CanvasTools*>(QStringLiteral("canvasTools"));
    tools->openExplore();
    screens::ExplorePanel* panel = tools->explorePanel();
    auto* taps = panel->findChild<QSpinBox*>(QStringLiteral("taps"));
    taps->setFocus();
    QElapsedTimer clock;
    clock.start();
    PaintClock paints(clock);
    form.centralWidget()->installEventFilter(&paints);
    std::vector<double> toPaint;
    std::vector<double> toIdle;
    for (int change = 0; change < kChanges; ++change) {
        const int redraws = panel->redraws();
        const qint64 start = clock.nsecsElapsed();
        press(taps, change < kChanges / 2 ? Qt::Key_Up : Qt::Key_Down);
        while (panel->redraws() == redraws)
            QApplication::processEvents();
        QApplication::processEvents();
        const qint64 idle = clock.nsecsElapsed();
        toPaint.push_back(static_cast<double>(paints.lastPaintEnd - start) / 1e6);
        toIdle.push_back(static_cast<double>(idle - start) / 1e6);
    }
    std::printf("%d changes of the tap count (400 to 500 and back), phase on, platform %s\n",
                kChanges, qPrintable(QGuiApplication::platformName()));
    report("change to end of the canvas's last paint:", toPaint);
    report("change to event loop idle (paint flushed):", toIdle);
    session.runtime().shutdown();
}

} // namespace

int main(int argc, char** argv)
{
    forms::keepFreedMemoryForRedraws(); // as the program does
    QApplication application(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        std::fprintf(stderr, "note: platform %s, not a real X window (see explore-drag.sh)\n",
                     qPrintable(QGuiApplication::platformName()));
    program::Session session(forms::parseScript({"--screen", "lowpass"}));
    QObject::connect(&session, &program::Session::finished, &application, &QApplication::quit);
    // Answers the questions as they come, then drags once the drawing shows.
    int answered = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        forms::Runtime& runtime = session.runtime();
        if (forms::PromptBox* prompt = runtime.openPrompt()) {
            if (prompt->isVisible() && answered < kAnswers.size()) {
                prompt->typeAnswer(kAnswers[answered++]);
                prompt->pressOk();
            }
            return;
        }
        forms::Form* form = runtime.find(QStringLiteral("Form9"));
        if (answered == kAnswers.size() && form && form->windowHandle()
            && form->windowHandle()->isExposed()) {
            tick.stop();
            drag(*form, session);
        }
    });
    tick.start(20);
    session.start();
    return application.exec();
}
