#include "ui/LineEndPreference.h"

#include <QSettings>
#include <QString>

namespace s2t::ui {
namespace {

constexpr const char* kLineEndKey = "files/lineEnd";

}  // namespace

std::string preferencesPath(const std::string& programFolder) { return programFolder + "/scan2theta-gui.ini"; }

LineEnd loadLineEndPreference(const std::string& programFolder) {
    QSettings settings(QString::fromStdString(preferencesPath(programFolder)), QSettings::IniFormat);
    return settings.value(kLineEndKey).toString() == QLatin1String("lf") ? LineEnd::Lf : LineEnd::CrLf;
}

void saveLineEndPreference(const std::string& programFolder, LineEnd lineEnd) {
    QSettings settings(QString::fromStdString(preferencesPath(programFolder)), QSettings::IniFormat);
    settings.setValue(kLineEndKey, lineEnd == LineEnd::Lf ? QStringLiteral("lf") : QStringLiteral("crlf"));
    settings.sync();
}

}  // namespace s2t::ui
