#include "forms/prompt_box.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace forms {

PromptBox::PromptBox(const QString& title, const QString& prompt, const QString& defaultAnswer,
                     AnswerRule rule, QWidget* parent)
    : QDialog(parent), m_rule(std::move(rule))
{
    setObjectName(QStringLiteral("InputBox"));
    setWindowTitle(title);
    setModal(true);

    // A window manager may cut a long title short, so a question asked with a blank prompt text
    // is also shown inside the box, and the box is wide enough for it on one line.
    const QString shownPrompt = prompt.trimmed().isEmpty() ? title : prompt;
    auto* promptLabel = new QLabel(shownPrompt, this);
    promptLabel->setObjectName(QStringLiteral("prompt"));
    promptLabel->setWordWrap(true);
    promptLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const int questionWidth = QFontMetrics(promptLabel->font()).horizontalAdvance(title) + 8;
    promptLabel->setMinimumSize(std::max(260, std::min(questionWidth, 720)), 60);

    m_prompt = promptLabel;
    addButtonsAndField(promptLabel, defaultAnswer);
    connect(m_ok, &QPushButton::clicked, this, &PromptBox::tryAccept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_field->setFocus();
}

// The question beside OK and Cancel, the answer field below, then the reason for a refusal.
void PromptBox::addButtonsAndField(QLabel* promptLabel, const QString& defaultAnswer)
{
    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setObjectName(QStringLiteral("OK"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("Cancel"));

    m_field = new QLineEdit(defaultAnswer, this);
    m_field->setObjectName(QStringLiteral("answer"));
    m_field->selectAll();

    m_refusal = new QLabel(this);
    m_refusal->setObjectName(QStringLiteral("refusal"));
    m_refusal->setStyleSheet(QStringLiteral("color: #c00000;"));
    m_refusal->setWordWrap(true);
    m_refusal->hide();

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addStretch();

    auto* grid = new QGridLayout(this);
    grid->addWidget(promptLabel, 0, 0);
    grid->addLayout(buttons, 0, 1);
    grid->addWidget(m_field, 1, 0, 1, 2);
    grid->addWidget(m_refusal, 2, 0, 1, 2);
}

void PromptBox::fitInside(const QSize& room, double scale)
{
    constexpr double kStep = 0.9;
    if (scale < 1) {
        QFont smaller = font();
        smaller.setPointSizeF(smaller.pointSizeF() * scale);
        setFont(smaller);
        m_prompt->setMinimumSize(m_prompt->minimumSize() * scale);
    }
    for (int step = 0; step < 20; ++step) {
        layout()->activate();
        const QSize wanted = sizeHint();
        if (wanted.width() <= room.width() && wanted.height() <= room.height())
            return;
        QFont smaller = font();
        smaller.setPointSizeF(smaller.pointSizeF() * kStep);
        setFont(smaller);
        m_prompt->setMinimumSize(m_prompt->minimumSize() * kStep);
    }
}

QString PromptBox::answer() const { return m_field->text(); }

QString PromptBox::refusal() const { return m_refusal->isHidden() ? QString() : m_refusal->text(); }

void PromptBox::typeAnswer(const QString& text) { m_field->setText(text); }

void PromptBox::pressOk() { m_ok->click(); }

void PromptBox::pressCancel() { m_cancel->click(); }

void PromptBox::tryAccept()
{
    const QString text = m_field->text();
    const std::optional<QString> reason = text.isEmpty() || !m_rule ? std::nullopt : m_rule(text);
    if (!reason) {
        accept();
        return;
    }
    m_refusal->setText(*reason);
    m_refusal->show();
    m_field->setFocus();
    m_field->selectAll();
}

} // namespace forms
