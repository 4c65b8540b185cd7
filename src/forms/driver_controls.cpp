// The driver's steps on a window's controls, found by their captions as a user reads them:
// buttons, check boxes and menu items.
#include "forms/driver.h"

#include "forms/form.h"
#include "forms/runtime.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace forms {
namespace {

QString withoutMnemonics(QString caption) { return caption.remove(QLatin1Char('&')); }

// Captions as a user reads them: blanks at either end do not show, and a run of blanks (or a line
// break where a caption wraps) reads as one.
QString asRead(const QString& caption) { return caption.simplified(); }

bool sameCaption(const QString& shown, const QString& asked)
{
    return asRead(shown) == asRead(asked);
}

} // namespace

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
    const std::vector<Form*> windows = windowsForStep();
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
    const std::vector<Form*> windows = windowsForStep();
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

} // namespace forms
