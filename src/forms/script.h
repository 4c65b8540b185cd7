#pragma once

// The command line of a scripted run, read into steps. It uses nothing else of the forms
// runtime; the driver (driver.h) plays the steps.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace forms {

// The scales --slide-scale takes: a slide's width in the window's pixels times this.
inline constexpr int kSlideScaleLeast = 1;
inline constexpr int kSlideScaleMost = 4;
inline constexpr int kSlideScaleDefault = 2;

// One scripted user action, carried out once the program waits for the user.
struct Step {
    enum class Kind {
        Answer,
        Cancel,
        Click,
        Toggle,
        Menu,
        Close,
        Export,
        Hold,
        Fundamental,
        Explore,
        Axes,
        Analyse,
        Through
    };
    Step(Kind kind, QString text = {}, QString file = {}, QByteArray path = {})
        : kind(kind), text(std::move(text)), file(std::move(file)), path(std::move(path))
    {
    }
    Kind kind;
    QString text;    // a step of three values: them, a blank between each
    QString file;    // --export: where to write
    QByteArray path; // the file's name as the command line gave it; empty: the encoding of file
    QString describe() const;
};

// The command line of a scripted run.
struct Script {
    QString screen; // empty: the start screen
    std::vector<Step> steps;
    std::optional<QString> snapshotFolder;
    QByteArray snapshotPath; // the folder's name as the command line gave it
    bool help = false;
    bool version = false;
    QString error;                 // set when the command line cannot be used
    bool capture = false;          // keep a snapshot in memory even without a folder
    std::optional<int> slideScale; // --slide-scale: a slide's width in window widths
    bool scripted() const { return !steps.empty() || snapshotFolder.has_value() || capture; }
};

// `bytes`, when given, are the same arguments as the command line gave them: file and folder
// names are then taken from them byte for byte, whatever their text reads as.
Script parseScript(const QStringList& arguments, const QList<QByteArray>& bytes = {});

} // namespace forms
