#include "screens/preferences.h"

#include <QSettings>

#include <memory>

namespace screens {
namespace {

const QString kPresentation = QStringLiteral("presentation");
const QString kFolders = QStringLiteral("saveFolders/");

std::unique_ptr<QSettings> openSettings()
{
    const QString file = qEnvironmentVariable("DSPLAB_SETTINGS");
    if (!file.isEmpty())
        return std::make_unique<QSettings>(file, QSettings::IniFormat);
    return std::make_unique<QSettings>();
}

} // namespace

Preferences& Preferences::instance()
{
    static Preferences* preferences = new Preferences;
    return *preferences;
}

void Preferences::keepBetweenRuns(bool keep)
{
    m_kept = keep;
    m_folders.clear();
    if (!keep)
        return;
    const auto settings = openSettings();
    m_presentation = settings->value(kPresentation, false).toBool();
    settings->beginGroup(kFolders);
    for (const QString& what : settings->childKeys())
        m_folders[what] = settings->value(what).toString();
}

void Preferences::store(const QString& key, const QVariant& value) const
{
    if (m_kept)
        openSettings()->setValue(key, value);
}

void Preferences::setPresentation(bool on)
{
    if (on == m_presentation)
        return;
    m_presentation = on;
    store(kPresentation, on);
    emit presentationChanged(on);
}

QString Preferences::folderFor(const QString& what) const
{
    const auto found = m_folders.find(what);
    return found == m_folders.end() ? QString() : found->second;
}

void Preferences::setFolderFor(const QString& what, const QString& folder)
{
    if (!m_kept)
        return;
    m_folders[what] = folder;
    store(kFolders + what, folder);
}

} // namespace screens
