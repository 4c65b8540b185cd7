#include "forms/driver.h"

#include "forms/canvas_layer.h"
#include "forms/form.h"
#include "forms/runtime.h"
#include "forms/safe_file.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace forms {
namespace {

QString withoutMnemonics(QString caption) { return caption.remove(QLatin1Char('&')); }

// Captions as a user reads them: blanks at either end do not show, and a run of blanks (or a line
// break where a caption wraps) reads as one.
QString asRead(const QString& caption) { return caption.simplified(); }

bool sameCaption(const QString& shown, const QString& asked) { return asRead(shown) == asRead(asked); }

// Long answers are cut in messages, so that one line still says which step it was.
QString shortened(const QString& text)
{
    constexpr int kShown = 40;
    if (text.size() <= kShown)
        return text;
    return QStringLiteral("%1... (%2 characters)").arg(text.left(kShown)).arg(text.size());
}

const char* optionName(Step::Kind kind)
{
    switch (kind) {
    case Step::Kind::Answer: return "--answer";
    case Step::Kind::Cancel: return "--cancel";
    case Step::Kind::Click: return "--click";
    case Step::Kind::Toggle: return "--toggle";
    case Step::Kind::Menu: return "--menu";
    case Step::Kind::Close: return "--close";
    case Step::Kind::Export: return "--export";
    case Step::Kind::Hold: return "--hold";
    }
    return "";
}

} // namespace

QString Step::describe() const
{
    const QString option = QString::fromLatin1(optionName(kind));
    if (kind == Kind::Export)
        return QStringLiteral("%1 %2 \"%3\"").arg(option, shortened(text), shortened(file));
    const bool takesText = kind != Kind::Cancel && kind != Kind::Close && kind != Kind::Hold;
    return takesText ? QStringLiteral("%1 \"%2\"").arg(option, shortened(text)) : option;
}

QString usage(const QString& screenHelp, const QString& exportHelp)
{
    return QStringLiteral(
        "Usage: dsplab [--screen NAME] [STEP]... [--snapshot DIR]\n"
        "Fourier synthesis and FIR filter design for the classroom.\n"
        "\n"
        "Without options the program opens on its start screen. The options script a session:\n"
        "  --screen NAME       open this screen first instead of the start screen; %1\n"
        "  --answer TEXT       type TEXT into the open question box and press OK\n"
        "  --cancel            press Cancel in the open question box\n"
        "  --click CAPTION     press the button with this caption, on the topmost window that has\n"
        "                      one (only on a modal window while one is open); blanks at the ends\n"
        "                      do not count and a run of blanks counts as one\n"
        "  --toggle CAPTION    click the check box with this caption, found the same way\n"
        "  --menu PATH         pick a menu item by its captions, for example \"Help/About\",\n"
        "                      found the same way\n"
        "  --close             close the topmost window with its close box\n"
        "  --export WHAT FILE  write WHAT from the topmost window that has it into FILE, whose\n"
        "                      extension picks the form%2; the file is replaced whole, never\n"
        "                      through a link\n"
        "  --hold              hold the drawing of the topmost window that can, to show it\n"
        "                      muted under its next drawing\n"
        "  --snapshot DIR      when the steps are done, write a picture of every open window\n"
        "                      (NAME.png, NAME.canvas.png) and state.json into DIR, then exit\n"
        "  --help              show this help\n"
        "  --version           show the version\n"
        "Steps run in order, each once the program waits for the user. A step that cannot be\n"
        "carried out stops the run with exit code 2 (with --snapshot, after writing the state at\n"
        "that step). A snapshot run always draws offscreen and needs no display; a run with steps\n"
        "alone draws offscreen when there is no display.\n")
        .arg(screenHelp, exportHelp.isEmpty() ? QString() : QStringLiteral(": ") + exportHelp);
}

Script parseScript(const QStringList& arguments)
{
    Script script;
    bool screenGiven = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        const auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= arguments.size())
                return std::nullopt;
            return arguments[++i];
        };
        const auto addStep = [&](Step::Kind kind) {
            const auto text = value();
            if (!text)
                script.error = QStringLiteral("%1 needs a value").arg(option);
            else
                script.steps.push_back({kind, *text});
        };
        if (option == QLatin1String("--help") || option == QLatin1String("-h"))
            script.help = true;
        else if (option == QLatin1String("--version"))
            script.version = true;
        else if (option == QLatin1String("--answer"))
            addStep(Step::Kind::Answer);
        else if (option == QLatin1String("--click"))
            addStep(Step::Kind::Click);
        else if (option == QLatin1String("--toggle"))
            addStep(Step::Kind::Toggle);
        else if (option == QLatin1String("--menu"))
            addStep(Step::Kind::Menu);
        else if (option == QLatin1String("--export")) {
            const auto what = value();
            const auto file = what ? value() : std::nullopt;
            if (!file)
                script.error = QStringLiteral("--export needs what to write and a file name");
            else if (file->isEmpty())
                script.error = QStringLiteral("--export needs a file name");
            else
                script.steps.push_back({Step::Kind::Export, *what, *file});
        } else if (option == QLatin1String("--hold"))
            script.steps.push_back({Step::Kind::Hold});
        else if (option == QLatin1String("--cancel"))
            script.steps.push_back({Step::Kind::Cancel, {}});
        else if (option == QLatin1String("--close"))
            script.steps.push_back({Step::Kind::Close, {}});
        else if (option == QLatin1String("--screen") || option == QLatin1String("--snapshot")) {
            const bool screen = option == QLatin1String("--screen");
            const auto text = value();
            if (!text)
                script.error = QStringLiteral("%1 needs a value").arg(option);
            else if (text->trimmed().isEmpty())
                script.error = screen ? QStringLiteral("--screen needs a screen name")
                                      : QStringLiteral("--snapshot needs a folder name");
            else if (screen ? screenGiven : script.snapshotFolder.has_value())
                script.error = QStringLiteral("%1 given more than once").arg(option);
            else if (screen) {
                script.screen = *text;
                screenGiven = true;
            } else
                script.snapshotFolder = *text;
        } else
            script.error = QStringLiteral("unknown option %1").arg(option);
        if (!script.error.isEmpty())
            break;
    }
    return script;
}

Driver::Driver(Runtime& runtime, std::vector<Step> steps, QObject* parent)
    : QObject(parent), m_runtime(runtime), m_steps(std::move(steps))
{
    connect(&m_runtime, &Runtime::programEnded, this, &Driver::programEnded);
}

void Driver::begin() { QTimer::singleShot(0, this, &Driver::runNext); }

// The next step is scheduled before this one acts: if the action opens a question box or a
// modal window, the next step then runs inside that wait, as a user's next action would.
void Driver::runNext()
{
    if (m_done)
        return;
    if (m_next == m_steps.size()) {
        m_done = true;
        emit stepsDone();
        return;
    }
    const std::size_t index = m_next++;
    QTimer::singleShot(0, this, &Driver::runNext);
    if (m_runtime.hasEnded()) {
        m_done = true;
        fail(index, QStringLiteral("the program has already ended"));
        return;
    }
    if (const auto problem = perform(m_steps[index])) {
        m_done = true;
        fail(index, *problem);
    }
}

void Driver::fail(std::size_t index, const QString& reason)
{
    m_failedStep = FailedStep{static_cast<int>(index) + 1, m_steps[index].describe(), reason};
    m_failure = QStringLiteral("step %1 (%2): %3").arg(index + 1).arg(m_failedStep->step, reason);
    emit failed(m_failure);
}

std::optional<QString> Driver::perform(const Step& step)
{
    PromptBox* prompt = m_runtime.openPrompt();
    switch (step.kind) {
    case Step::Kind::Answer:
    case Step::Kind::Cancel:
        if (!prompt)
            return QStringLiteral("no question box is open");
        if (step.kind == Step::Kind::Cancel) {
            prompt->pressCancel();
            return std::nullopt;
        }
        // The field would cut a longer text to what it holds; the answer is refused whole instead.
        if (const auto* field = prompt->findChild<QLineEdit*>(); field && step.text.size() > field->maxLength())
            return QStringLiteral("the answer is %1 characters long; the question box takes at most %2")
                .arg(step.text.size()).arg(field->maxLength());
        prompt->typeAnswer(step.text);
        prompt->pressOk();
        return std::nullopt;
    case Step::Kind::Click:
        return click(step.text);
    case Step::Kind::Toggle:
        return toggle(step.text);
    case Step::Kind::Menu:
        return menu(step.text);
    case Step::Kind::Close:
        return close();
    case Step::Kind::Export:
        return exportTo(step.text, step.file);
    case Step::Kind::Hold:
        return hold();
    }
    return std::nullopt;
}

std::optional<QString> Driver::click(const QString& caption)
{
    if (PromptBox* prompt = m_runtime.openPrompt()) {
        if (sameCaption(QStringLiteral("OK"), caption)) {
            prompt->pressOk();
            return std::nullopt;
        }
        if (sameCaption(QStringLiteral("Cancel"), caption)) {
            prompt->pressCancel();
            return std::nullopt;
        }
        return QStringLiteral("a question box is open");
    }
    const std::vector<Form*> windows = windowsTakingInput();
    if (windows.empty())
        return QStringLiteral("no window is open");
    for (Form* window : windows)
        for (QPushButton* button : window->findChildren<QPushButton*>())
            if (sameCaption(button->text(), caption) && button->isVisible()) {
                button->click();
                return std::nullopt;
            }
    return QStringLiteral("no button \"%1\" on %2").arg(caption, windows.front()->name());
}

std::optional<QString> Driver::toggle(const QString& caption)
{
    const std::vector<Form*> windows = m_runtime.openPrompt() ? std::vector<Form*>{} : windowsTakingInput();
    if (windows.empty())
        return QStringLiteral("no window takes input");
    for (Form* window : windows)
        for (QCheckBox* box : window->findChildren<QCheckBox*>())
            if (sameCaption(box->text(), caption)) {
                box->click();
                return std::nullopt;
            }
    return QStringLiteral("no check box \"%1\" on %2").arg(caption, windows.front()->name());
}

std::optional<QString> Driver::menu(const QString& path)
{
    const std::vector<Form*> windows = m_runtime.openPrompt() ? std::vector<Form*>{} : windowsTakingInput();
    if (windows.empty())
        return QStringLiteral("no window takes input");
    const QStringList captions = path.split(QLatin1Char('/'));
    for (Form* window : windows)
        if (QAction* item = menuItem(window, captions)) {
            item->trigger();
            return std::nullopt;
        }
    return QStringLiteral("no menu item \"%1\" on %2").arg(path, windows.front()->name());
}

// The item at the end of the caption path in a window's menu bar, if there is one.
QAction* Driver::menuItem(Form* window, const QStringList& captions) const
{
    QList<QAction*> actions = window->menuBar()->actions();
    for (int level = 0; level < captions.size(); ++level) {
        QAction* found = nullptr;
        for (QAction* action : actions)
            if (sameCaption(withoutMnemonics(action->text()), captions[level]))
                found = action;
        if (!found)
            return nullptr;
        if (level + 1 == captions.size())
            return found->menu() ? nullptr : found;
        if (!found->menu())
            return nullptr;
        actions = found->menu()->actions();
    }
    return nullptr;
}

// A modal window takes all input; otherwise every open window does, the topmost first, as a user
// can click any window that shows (the main menu behind a screen redone with "Do Another").
std::vector<Form*> Driver::windowsTakingInput() const
{
    std::vector<Form*> open = m_runtime.openWindows();
    std::reverse(open.begin(), open.end());
    if (!open.empty() && open.front()->isModal())
        open.resize(1);
    return open;
}

std::optional<QString> Driver::close()
{
    if (PromptBox* prompt = m_runtime.openPrompt()) {
        prompt->reject();
        return std::nullopt;
    }
    Form* top = m_runtime.topWindow();
    if (!top)
        return QStringLiteral("no window is open");
    top->close();
    return std::nullopt;
}

// The topmost window that offers the thing writes it; a window that offers it but not in the
// file's form stops the step there, as a user would be told.
std::optional<QString> Driver::exportTo(const QString& what, const QString& file)
{
    const std::vector<Form*> windows = m_runtime.openPrompt() ? std::vector<Form*>{} : windowsTakingInput();
    if (windows.empty())
        return QStringLiteral("no window takes input");
    for (Form* window : windows) {
        const CanvasLayer* layer = window->existingCanvasLayer();
        const ExportOutcome outcome = layer ? layer->exportAs(what, file) : ExportOutcome{};
        if (!outcome.offered)
            continue;
        if (!outcome.problem.isEmpty())
            return outcome.problem;
        QString error;
        if (!safefile::writeFile(file, outcome.contents, &error))
            return error;
        return std::nullopt;
    }
    return QStringLiteral("no window has %1 to write (the topmost is %2)").arg(what, windows.front()->name());
}

std::optional<QString> Driver::hold()
{
    const std::vector<Form*> windows = m_runtime.openPrompt() ? std::vector<Form*>{} : windowsTakingInput();
    if (windows.empty())
        return QStringLiteral("no window takes input");
    for (Form* window : windows)
        if (CanvasLayer* layer = window->existingCanvasLayer(); layer && layer->runAction(QStringLiteral("hold")))
            return std::nullopt;
    return QStringLiteral("no window has a drawing to hold (the topmost is %1)").arg(windows.front()->name());
}

// The program ended by itself (End, or its last window closed): what is left of the script can
// no longer run, so the run is done as it stands.
void Driver::programEnded()
{
    if (m_done)
        return;
    m_done = true;
    if (m_next < m_steps.size()) {
        fail(m_next, QStringLiteral("the program has already ended"));
        return;
    }
    emit stepsDone();
}

} // namespace forms
