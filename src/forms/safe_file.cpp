#include "forms/safe_file.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace forms::safefile {

QString reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

FolderHandle::FolderHandle(const QString& folder)
    : m_fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
}

FolderHandle::~FolderHandle()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int writeTemporary(int folder, OutputFile& file)
{
    static int counter = 0;
    const QByteArray base = "." + QFile::encodeName(file.name) + ".part-" + QByteArray::number(::getpid()) + "-";
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        file.temporary = base + QByteArray::number(++counter);
        fd = ::openat(folder, file.temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        file.temporary.clear();
        return errno;
    }
    const char* at = file.contents.constData();
    qsizetype left = file.contents.size();
    int error = 0;
    while (left > 0 && !error) {
        const ssize_t written = ::write(fd, at, static_cast<std::size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            error = written < 0 ? errno : ENOSPC;
        else {
            at += written;
            left -= written;
        }
    }
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    return error;
}

void removeTemporaries(int folder, std::vector<OutputFile>& files)
{
    for (OutputFile& file : files)
        if (!file.temporary.isEmpty()) {
            ::unlinkat(folder, file.temporary.constData(), 0);
            file.temporary.clear();
        }
}

std::optional<QString> refusalToReplace(int folder, const QString& name, const QString& shown)
{
    struct stat info {};
    if (::fstatat(folder, QFile::encodeName(name).constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("%1 is a symbolic link; not writing through it").arg(shown);
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("%1 exists and is not a regular file").arg(shown);
    return std::nullopt;
}

bool writeFile(const QString& path, const QByteArray& contents, QString* error)
{
    const QFileInfo place(path);
    const QString name = place.fileName();
    if (name.isEmpty()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, reason(EISDIR));
        return false;
    }
    FolderHandle dir(place.path());
    if (dir.fd() < 0) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, reason(errno));
        return false;
    }
    if (const auto refusal = refusalToReplace(dir.fd(), name, path)) {
        *error = *refusal;
        return false;
    }
    std::vector<OutputFile> files{{name, contents, {}}};
    if (const int failure = writeTemporary(dir.fd(), files.front())) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, reason(failure));
        removeTemporaries(dir.fd(), files);
        return false;
    }
    if (::renameat(dir.fd(), files.front().temporary.constData(), dir.fd(), QFile::encodeName(name).constData()) != 0) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, reason(errno));
        removeTemporaries(dir.fd(), files);
        return false;
    }
    if (::fsync(dir.fd()) != 0 && errno != EINVAL) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, reason(errno));
        return false;
    }
    return true;
}

} // namespace forms::safefile
