// How the driver goes through the steps: one at a time, each once the program waits for the user,
// and the steps on the question box and on the window's close box.
#include "forms/driver.h"

#include "forms/form.h"
#include "forms/runtime.h"

#include <QLineEdit>
#include <QTimer>

#include <algorithm>

namespace forms {

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
    m_failedStep =
        FailedStep{static_cast<int>(index) + 1, m_steps[index].describe(), reason, m_refusal};
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
    case Step::Kind::Fundamental:
        return fundamental(step.text);
    case Step::Kind::Explore:
        return explore(step.text);
    case Step::Kind::Axes:
        return axes(step.text);
    case Step::Kind::Analyse:
        return analysis("analyseStep", step.text);
    case Step::Kind::Through:
        return analysis("throughStep", step.text);
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
        return QStringLiteral("the answer is %1 characters long; the question box takes at most "
                              "%2")
            .arg(text.size())
            .arg(field->maxLength());
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

std::vector<Form*> Driver::windowsForStep() const
{
    return m_runtime.openPrompt() ? std::vector<Form*>{} : windowsTakingInput();
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
