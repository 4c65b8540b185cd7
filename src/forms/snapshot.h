#pragma once

// The snapshot writer uses Runtime, Form and CanvasLayer (and, to write, safe_file.h and
// snapshot_files.h); nothing else in forms/ uses it.

#include <QByteArray>
#include <QImage>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace forms {

class Runtime;

// What a user sees at one moment: every open window (as shown, and its persistent image alone),
// the captions and contents of its controls, the questions asked so far and the shared values.
struct Snapshot {
    QJsonObject state;
    std::vector<std::pair<QString, QImage>> windows;  // NAME -> client area with its controls
    std::vector<std::pair<QString, QImage>> canvases; // NAME -> persistent image

    QImage window(const QString& name) const;
    QImage canvas(const QString& name) const;
};

Snapshot takeSnapshot(Runtime& runtime, const QJsonObject& shared);

// Writes NAME.png, NAME.canvas.png and state.json into the folder, creating it if needed.
// Pictures an earlier run listed are removed unless this run writes them again or wrote them
// already (`writtenThisRun`: the paths of files the run exported, as bytes); a picture of the
// snapshot that would replace a file the run exported is refused instead.
bool writeSnapshot(const Snapshot& snapshot, const QString& folder, QString* error,
                   const QList<QByteArray>& writtenThisRun = {});
// The same with the folder's name as the command line gave it, used byte for byte.
bool writeSnapshot(const Snapshot& snapshot, const QByteArray& folder, QString* error,
                   const QList<QByteArray>& writtenThisRun = {});

} // namespace forms
