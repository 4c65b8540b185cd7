#include "forms/snapshot.h"

#include "forms/canvas_layer.h"
#include "forms/form.h"
#include "forms/runtime.h"
#include "forms/safe_file.h"

#include <QBuffer>
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

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

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
        {QStringLiteral("client"), QJsonArray{form->clientPixels().width(), form->clientPixels().height()}},
        {QStringLiteral("scale"), QJsonArray{form->scaleWidth(), form->scaleHeight()}},
        {QStringLiteral("mousePointer"), form->mousePointer()},
        {QStringLiteral("controls"), controlsOf(form)},
        {QStringLiteral("places"), placesOf(form)},
    };
    // What the screen adds about its drawing (measured figures, say).
    if (const CanvasLayer* layer = form->existingCanvasLayer()) {
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
    }
    QJsonObject state{{QStringLiteral("ended"), runtime.hasEnded()},
                      {QStringLiteral("shared"), shared},
                      {QStringLiteral("prompts"), promptsOf(runtime)},
                      {QStringLiteral("windows"), windows}};
    if (runtime.promptsDropped() > 0)
        state.insert(QStringLiteral("earlierPrompts"), static_cast<qint64>(runtime.promptsDropped()));
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

namespace {

using safefile::FolderHandle;
using safefile::OutputFile;
using safefile::reason;

QString joined(const QString& folder, const QString& name) { return QDir(folder).filePath(name); }

// Creates the folder and any folder above it that is missing.
bool makeFolder(const QByteArray& path, QString* error)
{
    for (qsizetype end = 1; end <= path.size(); ++end) {
        if (end < path.size() && path[end] != '/')
            continue;
        const QByteArray prefix = path.left(end);
        if (::mkdir(prefix.constData(), 0777) != 0 && errno != EEXIST) {
            *error = QStringLiteral("cannot create the folder %1: %2").arg(QFile::decodeName(prefix), reason(errno));
            return false;
        }
    }
    return true;
}

// The mark this program leaves in its state.json: a file without it was written by someone else,
// and the files it names are not this program's to remove.
const QString kWriterKey = QStringLiteral("writer");
const QString kWriter = QStringLiteral("dsplab");

// The names of the pictures a state.json of this program lists; nothing for any other file.
QStringList picturesListedIn(const QByteArray& json)
{
    const QJsonObject state = QJsonDocument::fromJson(json).object();
    if (state.value(kWriterKey).toString() != kWriter)
        return {};
    QStringList pictures;
    for (const QJsonValue& name : state.value(QStringLiteral("pictures")).toArray())
        pictures << name.toString();
    static const QRegularExpression picture(QStringLiteral("^[A-Za-z0-9_]+(\\.canvas)?\\.png$"));
    QStringList safe;
    for (const QString& name : pictures)
        if (picture.match(name).hasMatch())
            safe << name;
    return safe;
}

// Reads a regular file of the folder without following a link; empty when there is none.
QByteArray readWithoutLinks(int folder, const char* name)
{
    const int fd = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return QByteArray();
    QByteArray contents;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size < (16 << 20)) {
        char buffer[65536];
        ssize_t got = 0;
        while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
            contents.append(buffer, got);
        if (got < 0)
            contents.clear();
    }
    ::close(fd);
    return contents;
}

// The files a run wrote, by device and inode, so that no other path to one of them matters.
std::vector<std::pair<dev_t, ino_t>> identitiesOf(const QList<QByteArray>& paths)
{
    std::vector<std::pair<dev_t, ino_t>> files;
    for (const QByteArray& path : paths) {
        struct stat info {};
        if (::lstat(path.constData(), &info) == 0)
            files.emplace_back(info.st_dev, info.st_ino);
    }
    return files;
}

using FileIdentities = std::vector<std::pair<dev_t, ino_t>>;

// Whether the folder's entry of this name is one of the files.
bool isOneOf(int folder, const QByteArray& name, const FileIdentities& files)
{
    struct stat info {};
    if (::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    const std::pair identity{info.st_dev, info.st_ino};
    return std::find(files.begin(), files.end(), identity) != files.end();
}

// Removes the regular files of the folder an earlier run listed, except those this run wrote.
void removeStale(int folder, const QStringList& stale, const FileIdentities& writtenThisRun)
{
    for (const QString& name : stale) {
        struct stat info {};
        const QByteArray path = QFile::encodeName(name);
        if (::fstatat(folder, path.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0
            || !S_ISREG(info.st_mode))
            continue;
        if (!isOneOf(folder, path, writtenThisRun))
            ::unlinkat(folder, path.constData(), 0);
    }
}

} // namespace

// Every file goes to a temporary name in the folder first and is renamed into place only when
// it is whole and on the disk, so a reader (or a run beside this one) sees an earlier set or
// this one, never a half-written file. Links already in the folder are never followed; the
// pictures an earlier run listed in its state.json and this run neither writes nor exported are
// removed, so no picture of an earlier snapshot is left that this run's state.json does not list.
bool writeSnapshot(const Snapshot& snapshot, const QString& folder, QString* error,
                   const QList<QByteArray>& writtenThisRun)
{
    const auto path = safefile::nameBytes(folder);
    if (!path) {
        *error = safefile::unreadableName(folder);
        return false;
    }
    return writeSnapshot(snapshot, *path, error, writtenThisRun);
}

bool writeSnapshot(const Snapshot& snapshot, const QByteArray& path, QString* error,
                   const QList<QByteArray>& writtenThisRun)
{
    const QString folder = QFile::decodeName(path);
    if (!makeFolder(path, error))
        return false;
    FolderHandle dir(path);
    if (dir.fd() < 0) {
        *error = QStringLiteral("cannot open the folder %1: %2").arg(folder, reason(errno));
        return false;
    }

    std::vector<OutputFile> files;
    QJsonArray pictures;
    const auto addPicture = [&](const QString& name, const QImage& image) {
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        image.save(&png, "PNG");
        files.push_back({name, png.data(), {}});
        pictures.append(name);
    };
    for (const auto& [name, image] : snapshot.windows)
        addPicture(name + QStringLiteral(".png"), image);
    for (const auto& [name, image] : snapshot.canvases)
        addPicture(name + QStringLiteral(".canvas.png"), image);
    QJsonObject state = snapshot.state;
    state.insert(QStringLiteral("pictures"), pictures);
    state.insert(kWriterKey, kWriter);
    files.push_back({QStringLiteral("state.json"), QJsonDocument(state).toJson(QJsonDocument::Indented), {}});

    const FileIdentities exported = identitiesOf(writtenThisRun);
    for (const OutputFile& file : files) {
        if (isOneOf(dir.fd(), QFile::encodeName(file.name), exported)) {
            *error = QStringLiteral("%1 was exported by this run; the snapshot does not replace it")
                         .arg(joined(folder, file.name));
            return false;
        }
        if (const auto refusal = safefile::refusalToReplace(dir.fd(), file.name, joined(folder, file.name))) {
            *error = *refusal;
            return false;
        }
        if (file.contents.isEmpty()) {
            *error = QStringLiteral("cannot make the picture %1").arg(joined(folder, file.name));
            return false;
        }
    }
    for (OutputFile& file : files)
        if (const int failure = safefile::writeTemporary(dir.fd(), file)) {
            *error = QStringLiteral("cannot write %1: %2").arg(joined(folder, file.name), reason(failure));
            safefile::removeTemporaries(dir.fd(), files);
            return false;
        }

    ::flock(dir.fd(), LOCK_EX);
    QStringList stale = picturesListedIn(readWithoutLinks(dir.fd(), "state.json"));
    for (OutputFile& file : files) {
        stale.removeAll(file.name);
        if (file.name == QLatin1String("state.json"))
            continue; // last, once the pictures it lists are in place
        if (::renameat(dir.fd(), file.temporary.constData(), dir.fd(), QFile::encodeName(file.name).constData()) != 0) {
            *error = QStringLiteral("cannot write %1: %2").arg(joined(folder, file.name), reason(errno));
            safefile::removeTemporaries(dir.fd(), files);
            ::flock(dir.fd(), LOCK_UN);
            return false;
        }
        file.temporary.clear();
    }
    removeStale(dir.fd(), stale, exported);
    OutputFile& json = files.back();
    const bool placed = ::renameat(dir.fd(), json.temporary.constData(), dir.fd(), "state.json") == 0;
    if (!placed) {
        *error = QStringLiteral("cannot write %1: %2").arg(joined(folder, json.name), reason(errno));
        safefile::removeTemporaries(dir.fd(), files);
    }
    json.temporary.clear();
    if (placed && ::fsync(dir.fd()) != 0 && errno != EINVAL) {
        *error = QStringLiteral("cannot write %1: %2").arg(folder, reason(errno));
        ::flock(dir.fd(), LOCK_UN);
        return false;
    }
    ::flock(dir.fd(), LOCK_UN);
    return placed;
}

} // namespace forms
