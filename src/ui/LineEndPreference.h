// The desktop program's line-end preference (CR LF or LF for every written file), kept in
// scan2theta-gui.ini in the program folder.
#pragma once

#include <string>

#include "platform/LineEnd.h"

namespace s2t::ui {

// The file that holds the desktop program's preferences.
std::string preferencesPath(const std::string& programFolder);

// The stored line end; CR LF when nothing (or nothing known) is stored.
LineEnd loadLineEndPreference(const std::string& programFolder);

void saveLineEndPreference(const std::string& programFolder, LineEnd lineEnd);

}  // namespace s2t::ui
