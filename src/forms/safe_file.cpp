#include "forms/safe_file.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace forms::safefile {

QString reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

FolderHandle::FolderHandle(const QByteArray& folder)
    : m_fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
}

FolderHandle::FolderHandle(const QString& folder) : FolderHandle(QFile::encodeName(folder)) { }

FolderHandle::~FolderHandle()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray OutputFile::storedName() const
{
    return stored.isEmpty() ? QFile::encodeName(name) : stored;
}

std::optional<QByteArray> nameBytes(const QString& name)
{
    const QByteArray bytes = QFile::encodeName(name);
    if (name.contains(QChar::ReplacementCharacter) || QFile::decodeName(bytes) != name)
        return std::nullopt;
    return bytes;
}

QString unreadableName(const QString& name)
{
    return QStringLiteral("cannot write %1: the name holds characters that stand for unreadable "
                          "bytes, so it would name another file; choose another name")
        .arg(name);
}

namespace {

// The folder's limit on the length of a name, in bytes.
qsizetype nameLimit(int folder)
{
    const long limit = ::fpathconf(folder, _PC_NAME_MAX);
    return limit > 0 ? qsizetype(limit) : qsizetype(NAME_MAX);
}

// ".NAME.part-PID-N", with as much of NAME as the limit leaves room for: the process and the
// count make it unique, the name only tells a reader whose it is.
QByteArray temporaryName(const QByteArray& name, int count, qsizetype limit)
{
    const QByteArray tail =
        ".part-" + QByteArray::number(::getpid()) + "-" + QByteArray::number(count);
    return "." + name.left(std::max<qsizetype>(0, limit - 1 - tail.size())) + tail;
}

// The permission bits of the regular file at the name, if there is one.
std::optional<mode_t> permissionsAt(int folder, const QByteArray& name)
{
    struct stat info { };
    if (::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0
        || !S_ISREG(info.st_mode))
        return std::nullopt;
    return info.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO);
}

} // namespace

int writeTemporary(int folder, OutputFile& file)
{
    static int counter = 0;
    const QByteArray name = file.storedName();
    const qsizetype limit = nameLimit(folder);
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        file.temporary = temporaryName(name, ++counter, limit);
        fd = ::openat(folder, file.temporary.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        file.temporary.clear();
        return errno;
    }
    int error = 0;
    // A replaced file keeps its permissions; a new one has what the umask leaves of 0666.
    if (const auto kept = permissionsAt(folder, name); kept && ::fchmod(fd, *kept) != 0)
        error = errno;
    const char* at = file.contents.constData();
    qsizetype left = file.contents.size();
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

std::optional<QString> refusalToReplace(int folder, const QByteArray& name, const QString& shown)
{
    struct stat info { };
    if (::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("%1 is a symbolic link; not writing through it").arg(shown);
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("%1 exists and is not a regular file").arg(shown);
    return std::nullopt;
}

std::optional<QString> refusalToReplace(int folder, const QString& name, const QString& shown)
{
    return refusalToReplace(folder, QFile::encodeName(name), shown);
}

bool writeFile(const QByteArray& path, const QByteArray& contents, QString* error)
{
    const QString shown = QFile::decodeName(path);
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray name = path.mid(slash + 1);
    const QByteArray folder = slash < 0 ? QByteArray(".")
        : slash == 0                    ? QByteArray("/")
                                        : path.left(slash);
    const auto failed = [&](int number) {
        *error = QStringLiteral("cannot write %1: %2").arg(shown, reason(number));
        return false;
    };
    if (name.isEmpty() || name == "." || name == "..")
        return failed(EISDIR);
    FolderHandle dir(folder);
    if (dir.fd() < 0)
        return failed(errno);
    if (const auto refusal = refusalToReplace(dir.fd(), name, shown)) {
        *error = *refusal;
        return false;
    }
    std::vector<OutputFile> files{{QFile::decodeName(name), contents, {}, name}};
    if (const int failure = writeTemporary(dir.fd(), files.front())) {
        removeTemporaries(dir.fd(), files);
        return failed(failure);
    }
    const QByteArray& temporary = files.front().temporary;
    if (::renameat(dir.fd(), temporary.constData(), dir.fd(), name.constData()) != 0) {
        const int failure = errno;
        removeTemporaries(dir.fd(), files);
        return failed(failure);
    }
    if (::fsync(dir.fd()) != 0 && errno != EINVAL)
        return failed(errno);
    return true;
}

bool writeFile(const QString& path, const QByteArray& contents, QString* error)
{
    const auto bytes = nameBytes(path);
    if (!bytes) {
        *error = unreadableName(path);
        return false;
    }
    return writeFile(*bytes, contents, error);
}

} // namespace forms::safefile
