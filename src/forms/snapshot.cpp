// Taking a snapshot: the state of every open window, its controls and the questions asked, with
// the pictures the windows show.
#include "forms/snapshot.h"

#include "forms/canvas_layer.h"
#include "forms/form.h"
#include "forms/runtime.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

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

QJsonObject controlsOf(Form* form)
{
    QJsonObject controls;
    for (QWidget* widget : form->controls()) {
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
    for (QWidget* widget : form->controls()) {
        const QRect r = widget->geometry();
        places.insert(widget->objectName(), QJsonArray{r.x(), r.y(), r.width(), r.height()});
    }
    return places;
}

QJsonObject windowState(Form* form)
{
    QJsonObject state{
        {QStringLiteral("name"), form->name()},
        {QStringLiteral("caption"), form->caption()},
        {QStringLiteral("modal"), form->isModal()},
        {QStringLiteral("client"),
         QJsonArray{form->clientPixels().width(), form->clientPixels().height()}},
        {QStringLiteral("scale"), QJsonArray{form->scaleWidth(), form->scaleHeight()}},
        {QStringLiteral("mousePointer"), form->mousePointer()},
        {QStringLiteral("controls"), controlsOf(form)},
        {QStringLiteral("places"), placesOf(form)},
    };
    // What the screen adds about its drawing (measured figures, say).
    if (const CanvasLayer* layer = CanvasLayer::existing(*form)) {
        const QJsonObject extra = layer->state();
        for (auto entry = extra.begin(); entry != extra.end(); ++entry)
            state.insert(entry.key(), entry.value());
    }
    return state;
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
        // A window of the screen's own that asks to be pictured (the Analysis window).
        for (QWidget* own : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (own->isWindow() && own->isVisible() && own->property("snapshotName").isValid())
                snapshot.windows.emplace_back(own->property("snapshotName").toString(),
                                              own->grab().toImage());
    }
    QJsonObject state{{QStringLiteral("ended"), runtime.hasEnded()},
                      {QStringLiteral("shared"), shared},
                      {QStringLiteral("prompts"), promptsOf(runtime)},
                      {QStringLiteral("windows"), windows}};
    if (runtime.promptsDropped() > 0)
        state.insert(QStringLiteral("earlierPrompts"),
                     static_cast<qint64>(runtime.promptsDropped()));
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

} // namespace forms
