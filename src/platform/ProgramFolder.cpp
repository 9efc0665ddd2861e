#include "platform/ProgramFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace s2t {

std::string defaultProgramFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config) return std::string(config) + "/scan2theta";
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.config/scan2theta";
    return "scan2theta";
}

bool ensureDirectory(const std::string& folder, std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    // The check has its own error code: the reason to report is why the folder could not be made
    // (permission denied), not that it is missing afterwards.
    std::error_code checking;
    if (std::filesystem::is_directory(folder, checking)) return true;
    error = "Couldn't create the folder " + folder;
    if (code)
        error += ": " + code.message();
    else if (checking)
        error += ": " + checking.message();
    else
        error += ": " + std::make_error_code(std::errc::not_a_directory).message();
    return false;
}

}  // namespace s2t
