#pragma once

// Within the snapshot writer (snapshot_write.cpp uses snapshot_stale.cpp): what tells the
// pictures of an earlier snapshot in a folder, and the files a run exported, from the rest.

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QStringList>

#include <sys/types.h>

#include <utility>
#include <vector>

namespace forms::snapshotfiles {

// Files by device and inode, so that no other path to one of them matters.
using FileIdentities = std::vector<std::pair<dev_t, ino_t>>;

// Marks a state.json as this program's: the pictures it lists are the program's to remove.
void markAsOurs(QJsonObject& state);
// The pictures the folder's state.json lists, if this program wrote it; nothing otherwise.
QStringList picturesListed(int folder);

// The files at these paths (the files a run exported).
FileIdentities identitiesOf(const QList<QByteArray>& paths);
// Whether the folder's entry of this name is one of the files.
bool isOneOf(int folder, const QByteArray& name, const FileIdentities& files);
// Removes the regular files of the folder an earlier run listed, except those this run wrote.
void removeStale(int folder, const QStringList& stale, const FileIdentities& writtenThisRun);

} // namespace forms::snapshotfiles
