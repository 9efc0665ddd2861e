// The messages both input readers show for a file they cannot use; each names the file.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace s2t {

inline void reportUnopenableInput(const std::string& path, Platform& platform) {
    platform.messagePopup("File Error",
                          "Couldn't open input file: " + path + "\nFile may not exist.\nWill skip conversion.");
}

inline void reportCorruptedInput(const std::string& path, Platform& platform) {
    platform.messagePopup("Error", "The input file \"" + path + "\" \nhas been corrupted.");
}

// Conversion by the calibration stored in the file, for a file that stores none (every GUFI file,
// a channel file without a usable trailer).
inline void reportNoStoredCalibration(const std::string& path, Platform& platform) {
    platform.messagePopup("Error", "The input file \"" + path +
                                       "\" \nstores no calibration of its own.\nWill skip conversion.");
}

}  // namespace s2t
