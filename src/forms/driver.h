#pragma once

// The scripted driver plays a script's steps against the runtime as a user would. It uses
// Runtime, Form, PromptBox and CanvasLayer; none of them knows the driver.

#include "forms/script.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QAction;

namespace forms {

class Form;
class PromptBox;
class Runtime;

// The step that could not be carried out: its number (from 1), as written, and why; for an
// answer the question box refused, the refusal as the box showed it.
struct FailedStep {
    int number = 0;
    QString step;
    QString reason;
    QString refusal;
};

// Plays the steps in order against the runtime, then reports (see finished) with exit code 0,
// or 2 with a message naming the step that could not be carried out.
class Driver : public QObject {
    Q_OBJECT
public:
    Driver(Runtime& runtime, std::vector<Step> steps, QObject* parent = nullptr);

    void begin();
    const QString& failure() const { return m_failure; }
    const std::optional<FailedStep>& failedStep() const { return m_failedStep; }
    // The files --export wrote, as named on the command line.
    const QList<QByteArray>& filesWritten() const { return m_filesWritten; }

signals:
    // All steps done and the program idle or ended; the program is still as the steps left it.
    void stepsDone();
    void failed(const QString& message);

private:
    void runNext();
    std::optional<QString> perform(const Step& step);
    std::optional<QString> answer(const QString& text);
    std::optional<QString> pressOk(PromptBox* prompt);
    std::optional<QString> click(const QString& caption);
    std::optional<QString> toggle(const QString& caption);
    std::optional<QString> menu(const QString& path);
    std::optional<QString> close();
    std::optional<QString> exportTo(const QString& what, const QString& file,
                                    const QByteArray& path);
    std::optional<QString> hold();
    std::optional<QString> fundamental(const QString& hertz);
    // Runs the canvas entry of that name on the topmost window that offers it.
    bool runCanvasEntry(const QString& name);
    std::optional<QString> explore(const QString& nameAndValue);
    std::optional<QString> axes(const QString& onOrOff);
    std::optional<QString> topToolsStep(const char* method, const QString& text,
                                        const QString& missing);
    // --analyse and --through on the topmost window with a design to analyse.
    std::optional<QString> analysis(const char* method, const QString& text);
    QAction* menuItem(Form* window, const QStringList& captions) const;
    std::vector<Form*> windowsTakingInput() const;
    // The windows a step on controls looks at: none while a question box is open.
    std::vector<Form*> windowsForStep() const;
    void programEnded();
    void fail(std::size_t index, const QString& reason);

    Runtime& m_runtime;
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    bool m_done = false;
    QString m_failure;
    std::optional<FailedStep> m_failedStep;
    QString m_refusal;
    QList<QByteArray> m_filesWritten;
};

} // namespace forms
