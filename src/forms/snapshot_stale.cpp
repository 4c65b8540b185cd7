// The stale clean-up of the snapshot writer: which pictures an earlier snapshot of this program
// left in a folder, and removing those this run does not write again.
#include "forms/snapshot_files.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace forms::snapshotfiles {
namespace {

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

// Reads a regular file of the folder without following a link; empty when there is none or it
// cannot be read whole (then no earlier picture is known, and none is removed).
QByteArray readWithoutLinks(int folder, const char* name)
{
    const int fd = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return QByteArray();
    QByteArray contents;
    struct stat info { };
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size < (16 << 20)) {
        char buffer[65536];
        ssize_t got = 0;
        while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
            contents.append(buffer, got);
        if (got < 0)
            contents.clear();
    }
    // Closing a file only read from loses nothing, whatever close says.
    ::close(fd);
    return contents;
}

} // namespace

void markAsOurs(QJsonObject& state) { state.insert(kWriterKey, kWriter); }

QStringList picturesListed(int folder)
{
    return picturesListedIn(readWithoutLinks(folder, "state.json"));
}

FileIdentities identitiesOf(const QList<QByteArray>& paths)
{
    FileIdentities files;
    for (const QByteArray& path : paths) {
        struct stat info { };
        if (::lstat(path.constData(), &info) == 0)
            files.emplace_back(info.st_dev, info.st_ino);
    }
    return files;
}

bool isOneOf(int folder, const QByteArray& name, const FileIdentities& files)
{
    struct stat info { };
    if (::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    const std::pair identity{info.st_dev, info.st_ino};
    return std::find(files.begin(), files.end(), identity) != files.end();
}

// A picture that cannot be removed stays behind, unlisted: the snapshot written is whole and
// its state.json names exactly its own pictures either way, so the write goes on.
void removeStale(int folder, const QStringList& stale, const FileIdentities& writtenThisRun)
{
    for (const QString& name : stale) {
        struct stat info { };
        const QByteArray path = QFile::encodeName(name);
        if (::fstatat(folder, path.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0
            || !S_ISREG(info.st_mode))
            continue;
        if (!isOneOf(folder, path, writtenThisRun))
            static_cast<void>(::unlinkat(folder, path.constData(), 0));
    }
}

} // namespace forms::snapshotfiles
