// The driver's steps on a window's drawing: writing what it offers into a file, holding it,
// setting the controls of its Explore panel, and its Analysis window.
#include "forms/driver.h"

#include "forms/canvas_layer.h"
#include "forms/form.h"
#include "forms/safe_file.h"

#include <QFile>

namespace forms {

// The topmost window that offers the thing writes it; a window that offers it but not in the
// file's form stops the step there, as a user would be told.
std::optional<QString> Driver::exportTo(const QString& what, const QString& file,
                                        const QByteArray& path)
{
    const std::vector<Form*> windows = windowsForStep();
    if (windows.empty())
        return QStringLiteral("no window takes input");
    for (Form* window : windows) {
        const CanvasLayer* layer = CanvasLayer::existing(*window);
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
    return QStringLiteral("no window has %1 to write (the topmost is %2)")
        .arg(what, windows.front()->name());
}

bool Driver::runCanvasEntry(const QString& name)
{
    for (Form* window : windowsForStep()) {
        CanvasLayer* layer = CanvasLayer::existing(*window);
        if (layer && layer->runAction(name))
            return true;
    }
    return false;
}

std::optional<QString> Driver::hold()
{
    const std::vector<Form*> windows = windowsForStep();
    if (windows.empty())
        return QStringLiteral("no window takes input");
    if (runCanvasEntry(QStringLiteral("hold")))
        return std::nullopt;
    return QStringLiteral("no window has a drawing to hold (the topmost is %1)")
        .arg(windows.front()->name());
}

// The fundamental a synthesis drawing's tone is played and written on, as its menu sets it.
std::optional<QString> Driver::fundamental(const QString& hertz)
{
    const std::vector<Form*> windows = windowsForStep();
    if (windows.empty())
        return QStringLiteral("no window takes input");
    if (runCanvasEntry(QStringLiteral("fundamental") + hertz))
        return std::nullopt;
    return QStringLiteral("no window plays a tone on %1 Hz (the topmost is %2; the fundamentals "
                          "are 110, 220, 440 and 880 Hz)")
        .arg(hertz, windows.front()->name());
}

// The screens' tools take the step by name (the runtime knows nothing of them), on the topmost
// window: they act as a user would and draw at once, or say why they cannot. `missing` says what
// a window without them lacks (%1: its name).
std::optional<QString> Driver::topToolsStep(const char* method, const QString& text,
                                            const QString& missing)
{
    const std::vector<Form*> windows = windowsForStep();
    if (windows.empty())
        return QStringLiteral("no window takes input");
    Form* top = windows.front();
    QObject* tools =
        top->findChild<QObject*>(QStringLiteral("canvasTools"), Qt::FindDirectChildrenOnly);
    QString problem;
    if (!tools
        || !QMetaObject::invokeMethod(tools, method, Qt::DirectConnection,
                                      Q_RETURN_ARG(QString, problem), Q_ARG(QString, text)))
        return missing.arg(top->name());
    if (problem.isEmpty())
        return std::nullopt;
    return problem;
}

// The Explore panel sets its control and draws again.
std::optional<QString> Driver::explore(const QString& nameAndValue)
{
    return topToolsStep("exploreStep", nameAndValue, QStringLiteral("%1 has no Explore panel"));
}

// The axes over the topmost window's drawing, shown or hidden as its menu entry would.
std::optional<QString> Driver::axes(const QString& onOrOff)
{
    return topToolsStep("axesStep", onOrOff, QStringLiteral("%1 has no plot to put axes on"));
}

// The screens' analysis tools take the step by name, as the Explore panel does.
std::optional<QString> Driver::analysis(const char* method, const QString& text)
{
    const std::vector<Form*> windows = windowsForStep();
    if (windows.empty())
        return QStringLiteral("no window takes input");
    for (Form* window : windows) {
        QObject* tools = window->findChild<QObject*>(QStringLiteral("analysisTools"),
                                                     Qt::FindDirectChildrenOnly);
        bool offered = false;
        if (!tools
            || !QMetaObject::invokeMethod(tools, "offered", Qt::DirectConnection,
                                          Q_RETURN_ARG(bool, offered))
            || !offered)
            continue;
        QString problem;
        QMetaObject::invokeMethod(tools, method, Qt::DirectConnection,
                                  Q_RETURN_ARG(QString, problem), Q_ARG(QString, text));
        if (problem.isEmpty())
            return std::nullopt;
        return problem;
    }
    return QStringLiteral("no filter screen has a design to analyse (the topmost is %1)")
        .arg(windows.front()->name());
}

} // namespace forms
