// Writing a snapshot's files into its folder: the pictures, then the state.json that lists them,
// each whole or not at all, under the folder's lock.
#include "forms/snapshot.h"

#include "forms/safe_file.h"
#include "forms/snapshot_files.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <vector>

namespace forms {
namespace {

using safefile::FolderHandle;
using safefile::OutputFile;
using safefile::reason;
using snapshotfiles::FileIdentities;

QString joined(const QString& folder, const QString& name) { return QDir(folder).filePath(name); }

// Creates the folder and any folder above it that is missing.
bool makeFolder(const QByteArray& path, QString* error)
{
    for (qsizetype end = 1; end <= path.size(); ++end) {
        if (end < path.size() && path[end] != '/')
            continue;
        const QByteArray prefix = path.left(end);
        if (::mkdir(prefix.constData(), 0777) != 0 && errno != EEXIST) {
            *error = QStringLiteral("cannot create the folder %1: %2")
                         .arg(QFile::decodeName(prefix), reason(errno));
            return false;
        }
    }
    return true;
}

// The folder's exclusive lock, held while files are put in place, so that runs writing into the
// same folder at once never interleave reading the earlier list, renaming and removing.
class FolderLock {
public:
    explicit FolderLock(int folder) : m_folder(folder)
    {
        while (::flock(m_folder, LOCK_EX) != 0) {
            if (errno != EINTR) {
                m_error = errno;
                return;
            }
        }
    }
    ~FolderLock()
    {
        // Closing the folder releases the lock too, so a failed unlock loses nothing.
        if (m_error == 0)
            static_cast<void>(::flock(m_folder, LOCK_UN));
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // 0 when the lock is held, or the reason it could not be taken.
    int error() const { return m_error; }

private:
    int m_folder;
    int m_error = 0;
};

// The image as PNG; empty when it cannot be made.
QByteArray pngOf(const QImage& image)
{
    QBuffer png;
    if (!png.open(QIODevice::WriteOnly) || !image.save(&png, "PNG"))
        return QByteArray();
    return png.data();
}

// A picture of every window and canvas, then state.json (last) listing them.
std::vector<OutputFile> snapshotFiles(const Snapshot& snapshot)
{
    std::vector<OutputFile> files;
    QJsonArray pictures;
    const auto addPicture = [&](const QString& name, const QImage& image) {
        files.push_back({name, pngOf(image), {}});
        pictures.append(name);
    };
    for (const auto& [name, image] : snapshot.windows)
        addPicture(name + QStringLiteral(".png"), image);
    for (const auto& [name, image] : snapshot.canvases)
        addPicture(name + QStringLiteral(".canvas.png"), image);
    QJsonObject state = snapshot.state;
    state.insert(QStringLiteral("pictures"), pictures);
    snapshotfiles::markAsOurs(state);
    files.push_back(
        {QStringLiteral("state.json"), QJsonDocument(state).toJson(QJsonDocument::Indented), {}});
    return files;
}

// Why the files cannot all be written, before any is: one would replace a file the run exported,
// a link or something other than a regular file, or a picture could not be made.
std::optional<QString> refusal(int dir, const QString& folder, const std::vector<OutputFile>& files,
                               const FileIdentities& exported)
{
    for (const OutputFile& file : files) {
        const QString shown = joined(folder, file.name);
        if (snapshotfiles::isOneOf(dir, QFile::encodeName(file.name), exported))
            return QStringLiteral("%1 was exported by this run; the snapshot does not replace it")
                .arg(shown);
        if (auto refused = safefile::refusalToReplace(dir, file.name, shown))
            return refused;
        if (file.contents.isEmpty())
            return QStringLiteral("cannot make the picture %1").arg(shown);
    }
    return std::nullopt;
}

bool writeTemporaries(int dir, const QString& folder, std::vector<OutputFile>& files,
                      QString* error)
{
    for (OutputFile& file : files)
        if (const int failure = safefile::writeTemporary(dir, file)) {
            *error = QStringLiteral("cannot write %1: %2")
                         .arg(joined(folder, file.name), reason(failure));
            safefile::removeTemporaries(dir, files);
            return false;
        }
    return true;
}

// Renames one written file into place; on failure no temporary is left.
bool place(int dir, const QString& folder, OutputFile& file, std::vector<OutputFile>& files,
           QString* error)
{
    if (::renameat(dir, file.temporary.constData(), dir, QFile::encodeName(file.name).constData())
        != 0) {
        *error =
            QStringLiteral("cannot write %1: %2").arg(joined(folder, file.name), reason(errno));
        safefile::removeTemporaries(dir, files);
        return false;
    }
    file.temporary.clear();
    return true;
}

// Under the folder's lock: the pictures go into place, the earlier pictures this run neither
// writes nor exported go, then state.json goes into place and the folder is flushed to the disk.
bool placeFiles(int dir, const QString& folder, std::vector<OutputFile>& files,
                const FileIdentities& exported, QString* error)
{
    const FolderLock lock(dir);
    if (lock.error() != 0) {
        *error = QStringLiteral("cannot lock the folder %1: %2").arg(folder, reason(lock.error()));
        safefile::removeTemporaries(dir, files);
        return false;
    }
    QStringList stale = snapshotfiles::picturesListed(dir);
    OutputFile& json = files.back();
    for (OutputFile& file : files) {
        stale.removeAll(file.name);
        if (&file != &json && !place(dir, folder, file, files, error))
            return false;
    }
    snapshotfiles::removeStale(dir, stale, exported);
    if (!place(dir, folder, json, files, error))
        return false;
    if (::fsync(dir) != 0 && errno != EINVAL) {
        *error = QStringLiteral("cannot write %1: %2").arg(folder, reason(errno));
        return false;
    }
    return true;
}

} // namespace

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

// Every file goes to a temporary name in the folder first and is renamed into place only when
// it is whole and on the disk, so a reader (or a run beside this one) sees an earlier set or
// this one, never a half-written file. Links already in the folder are never followed; the
// pictures an earlier run listed in its state.json and this run neither writes nor exported are
// removed, so no picture of an earlier snapshot is left that this run's state.json does not list.
bool writeSnapshot(const Snapshot& snapshot, const QByteArray& path, QString* error,
                   const QList<QByteArray>& writtenThisRun)
{
    const QString folder = QFile::decodeName(path);
    if (!makeFolder(path, error))
        return false;
    const FolderHandle dir(path);
    if (dir.fd() < 0) {
        *error = QStringLiteral("cannot open the folder %1: %2").arg(folder, reason(errno));
        return false;
    }
    std::vector<OutputFile> files = snapshotFiles(snapshot);
    const FileIdentities exported = snapshotfiles::identitiesOf(writtenThisRun);
    if (const auto refused = refusal(dir.fd(), folder, files, exported)) {
        *error = *refused;
        return false;
    }
    return writeTemporaries(dir.fd(), folder, files, error)
        && placeFiles(dir.fd(), folder, files, exported, error);
}

} // namespace forms
