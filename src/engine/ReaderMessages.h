// The failures the input readers share for a file they cannot use; each names the file.
#pragma once

#include <string>

#include "engine/ReadResult.h"
#include "platform/Messages.h"

namespace s2t {

inline ReadResult unopenableInput(const std::string& path) {
    return ReadResult::failure(messages::kFileError, messages::couldNotOpenInput(path));
}

inline ReadResult corruptedInput(const std::string& path) {
    return ReadResult::failure(messages::kError, messages::corruptedInput(path));
}

// Conversion by the calibration stored in the file, for a file that stores none (every GUFI file,
// every file xylib reads, a channel file without a usable trailer).
inline ReadResult withoutStoredCalibration(const std::string& path) {
    return ReadResult::failure(messages::kError, messages::noStoredCalibration(path));
}

}  // namespace s2t
