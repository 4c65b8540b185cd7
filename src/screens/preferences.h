#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include <map>

namespace screens {

// The lecturer's choices that last from one run to the next: Presentation, and the folder each
// save dialog last saved in. They are kept with QSettings in the file that DSPLAB_SETTINGS names,
// else in the user's configuration folder, once the program allows it (an unscripted run does);
// until then they live for the run alone, so a scripted run draws the same everywhere and writes
// nothing outside its folder.
class Preferences : public QObject {
    Q_OBJECT
public:
    static Preferences& instance();
    // Reads the kept choices and keeps every change from now on; false: forgets them, and keeps
    // nothing more.
    void keepBetweenRuns(bool keep = true);

    // Wider traces, larger read-out and measurements, a bold focus ring.
    bool presentation() const { return m_presentation; }
    void setPresentation(bool on);

    // Where the dialog that saves `what` ("picture", "taps"...) last saved in an earlier run;
    // empty: never, or nothing is kept.
    QString folderFor(const QString& what) const;
    void setFolderFor(const QString& what, const QString& folder);

signals:
    void presentationChanged(bool on);

private:
    Preferences() = default;
    void store(const QString& key, const QVariant& value) const;

    bool m_kept = false;
    bool m_presentation = false;
    std::map<QString, QString> m_folders;
};

} // namespace screens
