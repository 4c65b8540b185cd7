#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// Files written so that a reader sees the old file or the whole new one, never half of one, and
// so that a link planted at the name is never followed: each is written under a temporary name
// in its own folder (created exclusively, without following links), flushed to the disk, and
// renamed into place.
namespace forms::safefile {

// The system's reason for an error number, as messages quote it.
QString reason(int error);

// Holds a folder open for the *at calls.
class FolderHandle {
public:
    explicit FolderHandle(const QByteArray& folder);
    explicit FolderHandle(const QString& folder);
    ~FolderHandle();
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

struct OutputFile {
    QString name; // in the folder
    QByteArray contents;
    QByteArray temporary;   // set once written
    QByteArray stored = {}; // the name's bytes on the disk; empty: the encoding of name
    QByteArray storedName() const;
};

// The bytes a name typed or chosen in the program stands for on the disk; none when its text
// cannot carry them (it holds a character that stands for bytes that could not be read), so
// that nothing is ever written under another name.
std::optional<QByteArray> nameBytes(const QString& name);
// The message for a name nameBytes refuses.
QString unreadableName(const QString& name);

// Writes the contents under a new temporary name in the folder, flushed to the disk, with the
// permission bits of the file it is to replace; 0 or the error number. The temporary name fits
// the folder's name length limit whatever the length of the final name.
int writeTemporary(int folder, OutputFile& file);
void removeTemporaries(int folder, std::vector<OutputFile>& files);

// Why the name in the folder may not be replaced (a link, or not a regular file); none when it
// is free or a regular file. `shown` is the path the message names.
std::optional<QString> refusalToReplace(int folder, const QByteArray& name, const QString& shown);
std::optional<QString> refusalToReplace(int folder, const QString& name, const QString& shown);

// Writes one file this way. On failure the message names the file and the system's reason, and
// whatever stood at the name before is left as it was. The path's bytes are used as they are.
bool writeFile(const QByteArray& path, const QByteArray& contents, QString* error);
// The same for a name chosen in the program, refused when nameBytes cannot carry it.
bool writeFile(const QString& path, const QByteArray& contents, QString* error);

} // namespace forms::safefile
