#pragma once

// The runtime loads and runs windows: it uses Form and PromptBox, and implements FormHost, the
// interface through which a Form reaches it. Nothing in Form calls the runtime directly.

#include "forms/form_host.h"
#include "forms/prompt_box.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

class QEventLoop;

namespace forms {

class Form;

// Thrown by End to leave the running handler at once; caught only where the runtime calls
// into screen code, so it never crosses Qt's event loop.
struct EndProgram { };

struct PromptRecord {
    QString title;
    QString prompt;
    QString defaultAnswer;
    std::optional<QString> answer; // none while the box is open
};

// Loads, shows, unloads and ends screens, runs modal waits and question boxes, and is the one
// place where control passes from Qt into screen code.
class Runtime : public QObject, public FormHost {
    Q_OBJECT
public:
    using Factory = std::function<Form*()>;

    Runtime();
    ~Runtime() override;

    void registerForm(const QString& name, Factory factory);
    bool knows(const QString& name) const { return m_factories.count(name) != 0; }

    // Creates the screen and runs its Form_Load, unless it is loaded already.
    Form* Load(const QString& name);
    template <class F>
    F* Load()
    {
        return static_cast<F*>(Load(QString::fromLatin1(F::kName)));
    }
    void Unload(Form* form);
    [[noreturn]] void End();
    void show(Form* form, bool modal) override;
    QString InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer,
                     const AnswerRule& rule = {});

    Form* find(const QString& name) const;
    bool isLoaded(const Form* form) const;
    // Loaded and visible screens, bottom to top.
    std::vector<Form*> openWindows() const;
    Form* topWindow() const;
    PromptBox* openPrompt() const { return m_openPrompt; }
    // The questions asked, the latest kKeptPrompts of them; promptsDropped() earlier ones are
    // no longer kept, so that a long run holds a bounded record.
    static constexpr std::size_t kKeptPrompts = 200;
    const std::deque<PromptRecord>& prompts() const { return m_prompts; }
    std::size_t promptsDropped() const { return m_promptsDropped; }
    bool hasEnded() const { return m_ending; }
    // Drawing calls that were handed a coordinate that is not a finite number (never drawn).
    void countNonFinite() override { ++m_nonFinite; }
    long nonFiniteCoordinates() const { return m_nonFinite; }

    // Entry points from Qt into screen code.
    void invoke(const std::function<void()>& handler) override;
    void closeBox(Form* form) override;
    void start(const QString& name);
    // Ends the program from outside any screen (the scripted driver when it is done).
    void shutdown();

signals:
    // Once, when the program has ended and every handler has returned.
    void programEnded();

private:
    void beginEnding();
    void settle();
    void raise(Form* form);

    std::map<QString, Factory> m_factories;
    std::vector<Form*> m_forms; // loaded, bottom to top
    std::vector<Form*> m_unloading;
    std::vector<Form*> m_graveyard;
    std::vector<QPointer<Form>> m_dying; // deletion requested, not yet done
    std::vector<std::pair<Form*, QEventLoop*>> m_modalWaits;
    std::deque<PromptRecord> m_prompts;
    std::size_t m_promptsDropped = 0;
    PromptBox* m_openPrompt = nullptr;
    int m_depth = 0;
    long m_nonFinite = 0;
    bool m_ending = false;
    bool m_endAnnounced = false;
};

} // namespace forms
