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

}  // namespace s2t
