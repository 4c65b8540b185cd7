#pragma once

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace forms {

// Checks an answer that is not empty; returns the one-line reason when it is refused.
using AnswerRule = std::function<std::optional<QString>(const QString& answer)>;

// The modal question box: the question as its title, a prompt text, a field holding the default
// answer, OK and Cancel. OK gives the field's text, Cancel the empty text. A refused answer keeps
// the box open, says why in one line and leaves the typed text for editing.
class PromptBox : public QDialog {
    Q_OBJECT
public:
    PromptBox(const QString& title, const QString& prompt, const QString& defaultAnswer,
              AnswerRule rule, QWidget* parent = nullptr);

    // The box's text `scale` times its size where that is below 1 (its window's text scale),
    // and smaller still where the box would be larger than `room`.
    void fitInside(const QSize& room, double scale);

    QString answer() const;
    QString refusal() const;

    // What the scripted driver does: type into the field and press a button.
    void typeAnswer(const QString& text);
    void pressOk();
    void pressCancel();

private:
    void addButtonsAndField(QLabel* promptLabel, const QString& defaultAnswer);
    void tryAccept();

    AnswerRule m_rule;
    QLabel* m_prompt = nullptr;
    QLineEdit* m_field;
    QLabel* m_refusal;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace forms
