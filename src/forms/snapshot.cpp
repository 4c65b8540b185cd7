#include "forms/snapshot.h"

#include "forms/form.h"
#include "forms/runtime.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>

namespace forms {
namespace {

QJsonValue controlValue(QWidget* widget)
{
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* check = qobject_cast<QCheckBox*>(widget))
        return check->isChecked() ? 1 : 0;
    if (auto* button = qobject_cast<QPushButton*>(widget))
        return button->text();
    if (auto* text = qobject_cast<QLineEdit*>(widget))
        return text->text();
    if (auto* list = qobject_cast<QListWidget*>(widget)) {
        QJsonArray lines;
        for (int row = 0; row < list->count(); ++row)
            lines.append(list->item(row)->text());
        return lines;
    }
    return QJsonValue();
}

std::vector<QWidget*> namedControls(Form* form)
{
    static const QRegularExpression named(
        QStringLiteral("^((Label|Command|List|Check|Text)\\d+|lblTitle|cmdOK)$"));
    std::vector<QWidget*> controls;
    for (QWidget* widget : form->findChildren<QWidget*>())
        if (named.match(widget->objectName()).hasMatch())
            controls.push_back(widget);
    return controls;
}

QJsonObject controlsOf(Form* form)
{
    QJsonObject controls;
    for (QWidget* widget : namedControls(form)) {
        const QJsonValue value = controlValue(widget);
        if (!value.isNull())
            controls.insert(widget->objectName(), value);
    }
    return controls;
}

// Where each control sits in the client area, in logical pixels: left, top, width, height.
QJsonObject placesOf(Form* form)
{
    QJsonObject places;
    for (QWidget* widget : namedControls(form)) {
        const QRect r = widget->geometry();
        places.insert(widget->objectName(), QJsonArray{r.x(), r.y(), r.width(), r.height()});
    }
    return places;
}

QJsonObject windowState(Form* form)
{
    return QJsonObject{
        {QStringLiteral("name"), form->name()},
        {QStringLiteral("caption"), form->caption()},
        {QStringLiteral("modal"), form->isModal()},
        {QStringLiteral("client"), QJsonArray{form->clientPixels().width(), form->clientPixels().height()}},
        {QStringLiteral("scale"), QJsonArray{form->scaleWidth(), form->scaleHeight()}},
        {QStringLiteral("mousePointer"), form->mousePointer()},
        {QStringLiteral("controls"), controlsOf(form)},
        {QStringLiteral("places"), placesOf(form)},
    };
}

QJsonArray promptsOf(const Runtime& runtime)
{
    QJsonArray prompts;
    for (const PromptRecord& record : runtime.prompts()) {
        QJsonObject prompt{{QStringLiteral("title"), record.title},
                           {QStringLiteral("prompt"), record.prompt},
                           {QStringLiteral("default"), record.defaultAnswer}};
        prompt.insert(QStringLiteral("answer"),
                      record.answer ? QJsonValue(*record.answer) : QJsonValue());
        prompts.append(prompt);
    }
    return prompts;
}

QImage find(const std::vector<std::pair<QString, QImage>>& images, const QString& name)
{
    for (const auto& [key, image] : images)
        if (key == name)
            return image;
    return QImage();
}

} // namespace

QImage Snapshot::window(const QString& name) const { return find(windows, name); }

QImage Snapshot::canvas(const QString& name) const { return find(canvases, name); }

Snapshot takeSnapshot(Runtime& runtime, const QJsonObject& shared)
{
    Snapshot snapshot;
    QJsonArray windows;
    for (Form* form : runtime.openWindows()) {
        windows.append(windowState(form));
        snapshot.windows.emplace_back(form->name(), form->shownPicture());
        snapshot.canvases.emplace_back(form->name(), form->canvasImage().copy());
    }
    QJsonObject state{{QStringLiteral("ended"), runtime.hasEnded()},
                      {QStringLiteral("shared"), shared},
                      {QStringLiteral("prompts"), promptsOf(runtime)},
                      {QStringLiteral("windows"), windows}};
    if (PromptBox* prompt = runtime.openPrompt()) {
        state.insert(QStringLiteral("openPrompt"),
                     QJsonObject{{QStringLiteral("title"), prompt->windowTitle()},
                                 {QStringLiteral("text"), prompt->answer()},
                                 {QStringLiteral("refusal"), prompt->refusal()}});
        snapshot.windows.emplace_back(QStringLiteral("InputBox"), prompt->grab().toImage());
    }
    snapshot.state = state;
    return snapshot;
}

bool writeSnapshot(const Snapshot& snapshot, const QString& folder, QString* error)
{
    QDir dir;
    if (!dir.mkpath(folder)) {
        *error = QStringLiteral("cannot create the folder %1").arg(folder);
        return false;
    }
    const QDir out(folder);
    for (const auto& [name, image] : snapshot.windows)
        if (!image.save(out.filePath(name + QStringLiteral(".png")))) {
            *error = QStringLiteral("cannot write %1").arg(out.filePath(name + ".png"));
            return false;
        }
    for (const auto& [name, image] : snapshot.canvases)
        if (!image.save(out.filePath(name + QStringLiteral(".canvas.png")))) {
            *error = QStringLiteral("cannot write %1").arg(out.filePath(name + ".canvas.png"));
            return false;
        }
    QFile json(out.filePath(QStringLiteral("state.json")));
    if (!json.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || json.write(QJsonDocument(snapshot.state).toJson(QJsonDocument::Indented)) < 0) {
        *error = QStringLiteral("cannot write %1").arg(json.fileName());
        return false;
    }
    return true;
}

} // namespace forms
