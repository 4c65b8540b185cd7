#include "forms/runtime.h"

#include "forms/form.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <exception>

namespace forms {

Runtime::Runtime() = default;

Runtime::~Runtime()
{
    for (Form* form : m_forms)
        delete form;
    for (Form* form : m_graveyard)
        delete form;
    for (const QPointer<Form>& form : m_dying)
        delete form.data();
}

void Runtime::registerForm(const QString& name, Factory factory)
{
    m_factories[name] = std::move(factory);
}

Form* Runtime::find(const QString& name) const
{
    for (Form* form : m_forms)
        if (form->name() == name)
            return form;
    return nullptr;
}

bool Runtime::isLoaded(const Form* form) const
{
    return std::find(m_forms.begin(), m_forms.end(), form) != m_forms.end();
}

Form* Runtime::Load(const QString& name)
{
    if (m_ending)
        throw EndProgram{};
    if (Form* loaded = find(name))
        return loaded;
    const auto factory = m_factories.find(name);
    if (factory == m_factories.end())
        return nullptr;
    Form* form = factory->second();
    form->attach(*this, *this);
    m_forms.push_back(form);
    form->Form_Load();
    return form;
}

void Runtime::Unload(Form* form)
{
    if (!isLoaded(form) || std::count(m_unloading.begin(), m_unloading.end(), form))
        return;
    m_unloading.push_back(form);
    form->Form_Unload();
    m_unloading.erase(std::find(m_unloading.begin(), m_unloading.end(), form));
    m_forms.erase(std::find(m_forms.begin(), m_forms.end(), form));
    form->hide();
    m_graveyard.push_back(form);
    for (auto& [waiting, loop] : m_modalWaits)
        if (waiting == form)
            loop->quit();
}

void Runtime::End()
{
    beginEnding();
    throw EndProgram{};
}

void Runtime::raise(Form* form)
{
    const auto at = std::find(m_forms.begin(), m_forms.end(), form);
    if (at == m_forms.end())
        return;
    m_forms.erase(at);
    m_forms.push_back(form);
}

void Runtime::show(Form* form, bool modal)
{
    if (m_ending)
        throw EndProgram{};
    if (!isLoaded(form))
        return;
    raise(form);
    if (!modal) {
        form->show();
        form->raise();
        return;
    }
    form->setWindowModality(Qt::ApplicationModal);
    form->setModalFlag(true);
    form->show();
    form->raise();
    QEventLoop wait;
    m_modalWaits.emplace_back(form, &wait);
    if (isLoaded(form) && form->isVisible())
        wait.exec();
    m_modalWaits.pop_back();
    form->setModalFlag(false);
    if (m_ending)
        throw EndProgram{};
}

QString Runtime::InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer,
                          const AnswerRule& rule)
{
    if (m_ending)
        throw EndProgram{};
    Form* over = topWindow();
    PromptBox box(title, prompt, defaultAnswer, rule, over);
    if (over && over->isVisible())
        box.fitInside(over->size(), over->textScale());
    if (m_prompts.size() == kKeptPrompts) {
        m_prompts.pop_front();
        ++m_promptsDropped;
    }
    m_prompts.push_back({title, prompt, defaultAnswer, std::nullopt});
    // Counted from the first question ever asked.
    const std::size_t record = m_promptsDropped + m_prompts.size() - 1;
    m_openPrompt = &box;
    const int result = box.exec();
    m_openPrompt = nullptr;
    if (m_ending)
        throw EndProgram{};
    const QString answer = result == QDialog::Accepted ? box.answer() : QString();
    if (record >= m_promptsDropped)
        m_prompts[record - m_promptsDropped].answer = answer;
    return answer;
}

std::vector<Form*> Runtime::openWindows() const
{
    std::vector<Form*> open;
    for (Form* form : m_forms)
        if (form->isVisible())
            open.push_back(form);
    return open;
}

Form* Runtime::topWindow() const
{
    const auto open = openWindows();
    return open.empty() ? nullptr : open.back();
}

void Runtime::invoke(const std::function<void()>& handler)
{
    if (m_ending)
        return;
    ++m_depth;
    try {
        handler();
    } catch (const EndProgram&) {
    } catch (const std::exception& error) {
        std::fprintf(stderr, "dsplab: %s\n", error.what());
    }
    --m_depth;
    if (m_depth == 0)
        settle();
}

void Runtime::closeBox(Form* form)
{
    invoke([this, form] { Unload(form); });
}

void Runtime::start(const QString& name)
{
    invoke([this, name] {
        Form* form = Load(name);
        if (form && isLoaded(form) && !form->isVisible())
            show(form, false);
    });
}

void Runtime::shutdown()
{
    if (m_ending)
        return;
    beginEnding();
    if (m_depth == 0)
        settle();
}

void Runtime::beginEnding()
{
    m_ending = true;
    for (Form* form : m_forms) {
        form->hide();
        m_graveyard.push_back(form);
    }
    m_forms.clear();
    for (auto& wait : m_modalWaits)
        wait.second->quit();
    if (m_openPrompt)
        m_openPrompt->reject();
}

// Back from screen code with no handler running: forms unloaded meanwhile can go, and a program
// without windows has ended. Qt may still be inside one of those forms (its menu, its key or
// close event), so they are deleted once control is back in the event loop.
void Runtime::settle()
{
    m_dying.erase(std::remove_if(m_dying.begin(), m_dying.end(),
                                 [](const QPointer<Form>& form) { return form.isNull(); }),
                  m_dying.end());
    for (Form* form : m_graveyard) {
        form->deleteLater();
        m_dying.emplace_back(form);
    }
    m_graveyard.clear();
    if (!m_ending && m_forms.empty())
        beginEnding();
    if (m_ending && !m_endAnnounced) {
        m_endAnnounced = true;
        QTimer::singleShot(0, this, &Runtime::programEnded);
    }
}

} // namespace forms
