#include "forms/driver.h"

#include "forms/canvas_layer.h"
#include "forms/form.h"
#include "forms/runtime.h"
#include "forms/safe_file.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QMenu>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTextBoundaryFinder>
#include <QTimer>

#include <algorithm>

namespace forms {
namespace {

QString withoutMnemonics(QString caption) { return caption.remove(QLatin1Char('&')); }

// Captions as a user reads them: blanks at either end do not show, and a run of blanks (or a line
// break where a caption wraps) reads as one.
QString asRead(const QString& caption) { return caption.simplified(); }

bool sameCaption(const QString& shown, const QString& asked) { return asRead(shown) == asRead(asked); }

// Long answers are cut in messages, so that one line still says which step it was. The cut
// falls between characters as a reader sees them, never inside a surrogate pair (which would
// leave text that is not UTF-8) or a combining sequence.
QString shortened(const QString& text)
{
    constexpr int kShown = 40;
    if (text.size() <= kShown)
        return text;
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text);
    boundaries.setPosition(kShown);
    if (!boundaries.isAtBoundary())
        boundaries.toPreviousBoundary();
    const qsizetype cut = std::max<qsizetype>(boundaries.position(), 0);
    return QStringLiteral("%1... (%2 characters)").arg(text.left(cut)).arg(text.size());
}

// The options that script a user's actions: each adds one step, taking 0, 1 or 2 values (the
// second one a file name).
struct StepOption {
    const char* name;
    Step::Kind kind;
    int values;
};

constexpr StepOption kStepOptions[] = {
    {"--answer", Step::Kind::Answer, 1}, {"--cancel", Step::Kind::Cancel, 0},
    {"--click", Step::Kind::Click, 1},   {"--toggle", Step::Kind::Toggle, 1},
    {"--menu", Step::Kind::Menu, 1},     {"--close", Step::Kind::Close, 0},
    {"--export", Step::Kind::Export, 2}, {"--hold", Step::Kind::Hold, 0},
};

const StepOption* stepOption(Step::Kind kind)
{
    for (const StepOption& option : kStepOptions)
        if (option.kind == kind)
            return &option;
    return nullptr;
}

const StepOption* stepOption(const QString& name)
{
    for (const StepOption& option : kStepOptions)
        if (name == QLatin1String(option.name))
            return &option;
    return nullptr;
}

// Reads the command line one option at a time; the first problem stops it.
class ScriptReader {
public:
    ScriptReader(const QStringList& arguments, const QList<QByteArray>& bytes)
        : m_arguments(arguments), m_bytes(bytes) {}

    Script read()
    {
        while (m_script.error.isEmpty() && m_index < m_arguments.size())
            readOption(m_arguments[m_index++]);
        return m_script;
    }

private:
    std::optional<QString> value(const QString& option)
    {
        if (m_index < m_arguments.size())
            return m_arguments[m_index++];
        m_script.error = QStringLiteral("%1 needs a value").arg(option);
        return std::nullopt;
    }

    // The last value read, as the command line gave it.
    QByteArray lastValueBytes() const
    {
        const qsizetype index = m_index - 1;
        return index < m_bytes.size() ? m_bytes[index] : QFile::encodeName(m_arguments[index]);
    }

    void readOption(const QString& option)
    {
        if (option == QLatin1String("--help") || option == QLatin1String("-h"))
            m_script.help = true;
        else if (option == QLatin1String("--version"))
            m_script.version = true;
        else if (const StepOption* step = stepOption(option))
            readStep(*step);
        else if (option == QLatin1String("--screen"))
            m_script.screen = readOnce(option, QStringLiteral("a screen name"), m_screenGiven)
                                 .value_or(QString());
        else if (option == QLatin1String("--snapshot")) {
            m_script.snapshotFolder = readOnce(option, QStringLiteral("a folder name"),
                                               m_snapshotGiven);
            m_script.snapshotPath = lastValueBytes();
        }
        else
            m_script.error = QStringLiteral("unknown option %1").arg(option);
    }

    void readStep(const StepOption& option)
    {
        const QString name = QLatin1String(option.name);
        const auto text = option.values > 0 ? value(name) : QString();
        const auto file = option.values > 1 && text ? value(name) : QString();
        if (!text || !file)
            return;
        if (option.values > 1 && file->isEmpty())
            m_script.error = QStringLiteral("%1 needs a file name").arg(name);
        else
            m_script.steps.push_back({option.kind, *text, *file,
                                      option.values > 1 ? lastValueBytes() : QByteArray()});
    }

    // --screen and --snapshot: one non-blank value, given once. On a problem the error is set
    // and reading stops, so what is returned then is never used.
    std::optional<QString> readOnce(const QString& option, const QString& what, bool& given)
    {
        const auto text = value(option);
        if (!text)
            return std::nullopt;
        if (text->trimmed().isEmpty())
            m_script.error = QStringLiteral("%1 needs %2").arg(option, what);
        else if (given)
            m_script.error = QStringLiteral("%1 given more than once").arg(option);
        given = true;
        return text;
    }

    const QStringList& m_arguments;
    const QList<QByteArray>& m_bytes;
    qsizetype m_index = 0;
    Script m_script;
    bool m_screenGiven = false;
    bool m_snapshotGiven = false;
};

} // namespace

QString Step::describe() const
{
    const StepOption* option = stepOption(kind);
    if (!option)
        return {};
    const QString name = QString::fromLatin1(option->name);
    if (option->values > 1)
        return QStringLiteral("%1 %2 \"%3\"").arg(name, shortened(text), shortened(file));
    return option->values > 0 ? QStringLiteral("%1 \"%2\"").arg(name, shortened(text)) : name;
}

QString optionsHelp(const QString& screenHelp, const QString& exportHelp)
{
    return QStringLiteral(
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
        "  --export WHAT FILE  write WHAT from the topmost window that has it into FILE, in the\n"
        "                      form its extension picks, replacing the file whole and never\n"
        "                      writing through a link.%2\n"
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
        .arg(screenHelp, exportHelp.isEmpty() ? QString() : QStringLiteral("\n") + QString(22, QLatin1Char(' ')) + exportHelp);
}

Script parseScript(const QStringList& arguments, const QList<QByteArray>& bytes)
{
    return ScriptReader(arguments, bytes).read();
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
    m_failedStep = FailedStep{static_cast<int>(index) + 1, m_steps[index].describe(), reason,
                              m_refusal};
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
        return answer(step.text);
    case Step::Kind::Click:
        return click(step.text);
    case Step::Kind::Toggle:
        return toggle(step.text);
    case Step::Kind::Menu:
        return menu(step.text);
    case Step::Kind::Close:
        return close();
    case Step::Kind::Export:
        return exportTo(step.text, step.file, step.path);
    case Step::Kind::Hold:
        return hold();
    }
    return std::nullopt;
}

// A refused answer keeps the box open; a script that went on would type its next answer into the
// same box, so the step fails there with the box's own message.
std::optional<QString> Driver::answer(const QString& text)
{
    PromptBox* prompt = m_runtime.openPrompt();
    // The field would cut a longer text to what it holds; the answer is refused whole instead.
    const auto* field = prompt->findChild<QLineEdit*>();
    if (field && text.size() > field->maxLength())
        return QStringLiteral("the answer is %1 characters long; the question box takes at most %2")
            .arg(text.size()).arg(field->maxLength());
    prompt->typeAnswer(text);
    return pressOk(prompt);
}

std::optional<QString> Driver::pressOk(PromptBox* prompt)
{
    prompt->pressOk();
    if (prompt->result() == QDialog::Accepted || prompt->refusal().isEmpty())
        return std::nullopt;
    m_refusal = prompt->refusal();
    return QStringLiteral("the answer was refused: %1").arg(m_refusal);
}

std::optional<QString> Driver::click(const QString& caption)
{
    if (PromptBox* prompt = m_runtime.openPrompt()) {
        if (sameCaption(QStringLiteral("OK"), caption))
            return pressOk(prompt);
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
std::optional<QString> Driver::exportTo(const QString& what, const QString& file,
                                        const QByteArray& path)
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
        const bool written = path.isEmpty() ? safefile::writeFile(file, outcome.contents, &error)
                                            : safefile::writeFile(path, outcome.contents, &error);
        if (!written)
            return error;
        m_filesWritten << (path.isEmpty() ? QFile::encodeName(file) : path);
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
