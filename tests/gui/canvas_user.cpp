#include "canvas_user.h"

#include "forms/prompt_box.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <cmath>

namespace canvastest {

Actions::Actions() { QTimer::singleShot(5, this, &Actions::tick); }

void Actions::when(std::function<bool()> ready, std::function<void()> act)
{
    m_queue.emplace_back(std::move(ready), std::move(act));
}

void Actions::tick()
{
    // Each look is a timer of its own: Qt does not fire a timer again while its handler runs.
    QTimer::singleShot(5, this, &Actions::tick);
    if (m_queue.empty() || !m_queue.front().first())
        return;
    auto action = std::move(m_queue.front());
    m_queue.pop_front();
    action.second();
}

void CanvasUser::open(const char* screen, const Answers& answers)
{
    stop();
    m_session = std::make_unique<program::Session>(
        forms::parseScript({QStringLiteral("--screen"), QString::fromLatin1(screen)}));
    m_actions = std::make_unique<Actions>();
    QObject::connect(m_session.get(), &program::Session::finished, [this](int) { m_ended = true; });
    m_session->start();
    for (const auto& [title, text] : answers)
        answer(title, text);
}

void CanvasUser::answer(const char* title, const char* text)
{
    const auto box = [this, title]() -> forms::PromptBox* {
        forms::PromptBox* prompt = runtime().openPrompt();
        const bool asking = prompt && prompt->isVisible();
        return asking && prompt->windowTitle() == QLatin1String(title) ? prompt : nullptr;
    };
    actions().when([box] { return box() != nullptr; },
                   [box, text] {
                       auto* field = box()->findChild<QLineEdit*>(QStringLiteral("answer"));
                       QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
                       QTest::keyClick(field, Qt::Key_Delete);
                       QTest::keyClicks(field, QString::fromLatin1(text));
                       QTest::keyClick(field, Qt::Key_Return);
                   });
}

bool CanvasUser::settles(const std::function<bool()>& check)
{
    const bool waited =
        QTest::qWaitFor([&] { return m_ended || (m_actions->done() && check()); }, 10000);
    return waited && !m_ended;
}

void CanvasUser::waitUntil(const std::function<bool()>& check)
{
    static_cast<void>(QTest::qWaitFor(check));
}

void CanvasUser::stop()
{
    if (!m_session)
        return;
    if (!m_ended) {
        m_session->runtime().shutdown();
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_ended; }, 5000));
    }
    m_actions.reset();
    m_session.reset();
    m_ended = false;
}

forms::Form* CanvasUser::window(const char* name)
{
    return runtime().find(QString::fromLatin1(name));
}

bool CanvasUser::shows(const char* name)
{
    forms::Form* form = window(name);
    return form && form->isVisible() && !runtime().openPrompt();
}

QPoint CanvasUser::clientPoint(forms::Form* form, double x, double y)
{
    const QSize client = form->clientPixels();
    return QPoint(static_cast<int>(std::floor(x * client.width() / 640)),
                  static_cast<int>(std::floor(y * client.height() / 480)));
}

void CanvasUser::rightClick(forms::Form* form, double x, double y)
{
    const QPoint at = form->centralWidget()->mapTo(form, clientPoint(form, x, y));
    QTest::mouseClick(form->windowHandle(), Qt::RightButton, {}, at);
}

void CanvasUser::movePointer(forms::Form* form, double x, double y)
{
    const QPoint at = form->centralWidget()->mapTo(form, clientPoint(form, x, y));
    QTest::mouseMove(form->windowHandle(), at);
}

// To the focused control, as the keyboard would send it, or to the window when none has focus.
// Offscreen there is no window manager to give the window the keyboard once a question box has
// closed, so it is activated first, as a window a user types into is.
void CanvasUser::key(forms::Form* form, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form));
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus && focus->window() == form ? focus : form, key, modifiers);
}

void CanvasUser::clickButton(forms::Form* form, const char* button)
{
    QTest::mouseClick(form->findChild<QWidget*>(QString::fromLatin1(button)), Qt::LeftButton);
}

void CanvasUser::pick(QMenu* menu, const char* entry)
{
    for (QAction* action : menu->actions())
        if (action->objectName() == QLatin1String(entry))
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

QMenu* CanvasUser::canvasMenu(forms::Form* form)
{
    auto* menu = form ? form->findChild<QMenu*>(QStringLiteral("canvasMenu")) : nullptr;
    return menu && menu->isVisible() ? menu : nullptr;
}

QStringList CanvasUser::entries(QMenu* menu)
{
    QStringList names;
    for (QAction* action : menu->actions())
        if (!action->isSeparator())
            names << action->objectName();
    return names;
}

QLabel* CanvasUser::readout(forms::Form* form)
{
    return form->findChild<QLabel*>(QStringLiteral("canvasReadout"));
}

QLabel* CanvasUser::note(forms::Form* form)
{
    return form->findChild<QLabel*>(QStringLiteral("canvasNote"));
}

} // namespace canvastest
