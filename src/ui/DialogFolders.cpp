#include "ui/DialogFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include "ui/LineEndPreference.h"

namespace s2t::ui {
namespace {

// One entry per dialog title: the folder it was asked to start in, and the folder the user left it
// in. Titles hold spaces and punctuation, which QSettings escapes in its keys.
QString keyFor(const std::string& title) { return "dialogFolders/" + QString::fromStdString(title); }

QString cleanFolder(const QString& folder) {
    return folder.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

}  // namespace

DialogFolders::DialogFolders(const std::string& programFolder)
        : settingsPath_(QString::fromStdString(preferencesPath(programFolder))) {}

QString DialogFolders::startFolder(const std::string& title, const QString& requested) const {
    const QSettings settings(settingsPath_, QSettings::IniFormat);
    const QStringList entry = settings.value(keyFor(title)).toStringList();
    if (entry.size() != 2 || entry[0] != cleanFolder(requested)) return requested;
    if (entry[1].isEmpty() || !QFileInfo(entry[1]).isDir()) return requested;
    return entry[1];
}

void DialogFolders::remember(const std::string& title, const QString& requested, const QString& chosenFolder) {
    QSettings settings(settingsPath_, QSettings::IniFormat);
    settings.setValue(keyFor(title), QStringList{cleanFolder(requested), cleanFolder(chosenFolder)});
    settings.sync();
}

}  // namespace s2t::ui
