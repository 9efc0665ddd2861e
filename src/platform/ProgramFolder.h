// The program folder: where Default.pre and Standards/ live. The per-user configuration folder
// unless the user names another (--home).
#pragma once

#include <string>

namespace s2t {

// $XDG_CONFIG_HOME/scan2theta, else $HOME/.config/scan2theta, else ./scan2theta.
std::string defaultProgramFolder();

// Creates folder (with its parents) when it is missing. Returns false with a reason when the
// folder is not there afterwards.
bool ensureDirectory(const std::string& folder, std::string& error);

}  // namespace s2t
