#include "session_player.h"

#include "forms/form.h"
#include "forms/runtime.h"
#include "program/screen_registry.h"
#include "screens/shared_state.h"

#include <QAction>
#include <QCheckBox>
#include <QEventLoop>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace playback {
namespace {

QString withoutMnemonics(QString caption) { return caption.remove(QLatin1Char('&')); }

QStringList menuItemsOf(forms::Form* form)
{
    QStringList items;
    for (QAction* top : form->menuBar()->actions()) {
        if (!top->menu())
            continue;
        for (QAction* item : top->menu()->actions())
            if (!item->isSeparator())
                items << withoutMnemonics(top->text()) + QLatin1Char('/')
                        + withoutMnemonics(item->text());
    }
    return items;
}

QStringList asOptions(const forms::Step& step)
{
    using Kind = forms::Step::Kind;
    switch (step.kind) {
    case Kind::Answer:
        return {QStringLiteral("--answer"), step.text};
    case Kind::Cancel:
        return {QStringLiteral("--cancel")};
    case Kind::Click:
        return {QStringLiteral("--click"), step.text};
    case Kind::Toggle:
        return {QStringLiteral("--toggle"), step.text};
    case Kind::Menu:
        return {QStringLiteral("--menu"), step.text};
    case Kind::Close:
        return {QStringLiteral("--close")};
    case Kind::Export:
        return {QStringLiteral("--export"), step.text, step.file};
    case Kind::Hold:
        return {QStringLiteral("--hold")};
    case Kind::Fundamental:
        return {QStringLiteral("--listen-fundamental"), step.text};
    case Kind::Explore:
        return {QStringLiteral("--explore"), step.text};
    case Kind::Axes:
        return {QStringLiteral("--axes"), step.text};
    case Kind::Analyse:
        return {QStringLiteral("--analyse"), step.text};
    case Kind::Through:
        return QStringList{QStringLiteral("--through")} + step.text.split(QLatin1Char(' '));
    }
    return {};
}

} // namespace

Offer offerOf(forms::Runtime& runtime)
{
    Offer offer;
    offer.openWindows = static_cast<int>(runtime.openWindows().size());
    if (forms::PromptBox* prompt = runtime.openPrompt()) {
        offer.promptOpen = true;
        offer.promptTitle = prompt->windowTitle();
        if (!runtime.prompts().empty())
            offer.promptDefault = runtime.prompts().back().defaultAnswer;
        return offer;
    }
    forms::Form* top = runtime.topWindow();
    if (!top)
        return offer;
    offer.topWindow = top->name();
    for (QPushButton* button : top->findChildren<QPushButton*>())
        if (button->isVisible())
            offer.buttons << button->text().trimmed();
    for (QCheckBox* box : top->findChildren<QCheckBox*>())
        offer.checkBoxes << box->text().trimmed();
    offer.menuItems = menuItemsOf(top);
    return offer;
}

QStringList registeredScreens()
{
    forms::Runtime runtime;
    screens::SharedState shared;
    program::registerScreens(runtime, shared);
    QStringList screens;
    for (const QString& name : program::formNames())
        if (runtime.knows(name))
            screens << name;
    return screens;
}

StepWatchdog::StepWatchdog() : m_thread([this] { watch(); }) { }

StepWatchdog::~StepWatchdog()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void StepWatchdog::arm(std::chrono::milliseconds limit, const QString& step)
{
    {
        std::lock_guard lock(m_mutex);
        m_deadline = std::chrono::steady_clock::now() + limit;
        m_step = step.left(200).toStdString();
    }
    m_changed.notify_all();
}

void StepWatchdog::disarm()
{
    {
        std::lock_guard lock(m_mutex);
        m_deadline.reset();
    }
    m_changed.notify_all();
}

void StepWatchdog::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (!m_deadline) {
            m_changed.wait(lock);
            continue;
        }
        const auto deadline = *m_deadline;
        if (m_changed.wait_until(lock, deadline) == std::cv_status::timeout
            && m_deadline == deadline) {
            std::fprintf(stderr,
                         "step watchdog: \"%s\" did not finish in time: the program hangs\n",
                         m_step.c_str());
            std::abort();
        }
    }
}

SteppedSession::SteppedSession(QString screen, Chooser choose, std::chrono::milliseconds stepLimit)
    : m_screen(std::move(screen)), m_choose(std::move(choose)), m_stepLimit(stepLimit)
{
}

SteppedSession::~SteppedSession()
{
    m_driver.reset();
    m_runtime.reset();
}

SteppedSession::Result SteppedSession::play()
{
    m_runtime = std::make_unique<forms::Runtime>();
    m_shared = {};
    program::registerScreens(*m_runtime, m_shared);
    m_result = Result{};
    m_result.script = QStringList{QStringLiteral("--screen"), m_screen};

    QEventLoop loop;
    m_quit = [&loop] { loop.quit(); };
    connect(m_runtime.get(), &forms::Runtime::programEnded, &loop, &QEventLoop::quit);
    m_watchdog.arm(m_stepLimit, QStringLiteral("loading ") + m_screen);
    QTimer::singleShot(0, m_runtime.get(), [this] { m_runtime->start(m_screen); });
    QTimer::singleShot(0, this, &SteppedSession::next);
    loop.exec();
    m_watchdog.disarm();
    m_quit = nullptr;
    m_result.nonFiniteCoordinates = m_runtime->nonFiniteCoordinates();
    return m_result;
}

// Runs once the previous step is done and the program waits for the user.
void SteppedSession::next()
{
    m_watchdog.disarm();
    if (m_finishing)
        return;
    if (m_runtime->hasEnded()) {
        m_result.ended = true;
        return;
    }
    const std::optional<forms::Step> step = m_choose(*m_runtime, offerOf(*m_runtime));
    if (!step) {
        finish();
        return;
    }
    ++m_result.steps;
    m_result.script << asOptions(*step);
    // The previous driver is still emitting the signal that brought us here.
    if (m_driver)
        m_driver.release()->deleteLater();
    m_driver = std::make_unique<forms::Driver>(*m_runtime, std::vector{*step});
    forms::Driver* driver = m_driver.get();
    connect(driver, &forms::Driver::stepsDone, this, &SteppedSession::next);
    connect(driver, &forms::Driver::failed, this, [this](const QString& message) {
        m_result.failure = message;
        finish();
    });
    m_watchdog.arm(m_stepLimit, m_result.script.join(QLatin1Char(' ')));
    driver->begin();
}

void SteppedSession::finish()
{
    if (m_finishing)
        return;
    m_finishing = true;
    if (m_runtime->hasEnded()) {
        QTimer::singleShot(0, this, [this] {
            if (m_quit)
                m_quit();
        });
        return;
    }
    m_watchdog.arm(m_stepLimit, QStringLiteral("ending the program"));
    m_runtime->shutdown();
}

} // namespace playback
