// The messages the input readers show for a file they cannot use; each names the file.
#pragma once

#include <string>

#include "platform/Messages.h"
#include "platform/Platform.h"

namespace s2t {

inline void reportUnopenableInput(const std::string& path, Platform& platform) {
    platform.messagePopup(messages::kFileError, messages::couldNotOpenInput(path));
}

inline void reportCorruptedInput(const std::string& path, Platform& platform) {
    platform.messagePopup(messages::kError, messages::corruptedInput(path));
}

// Conversion by the calibration stored in the file, for a file that stores none (every GUFI file,
// a channel file without a usable trailer).
inline void reportNoStoredCalibration(const std::string& path, Platform& platform) {
    platform.messagePopup(messages::kError, messages::noStoredCalibration(path));
}

}  // namespace s2t
