// The texts of the messages a conversion shows, for the tests of every layer that reports them:
// the program's own texts (platform/Messages.h), under the names the tests know them by.
#pragma once

#include <string>
#include <string_view>

#include "platform/Messages.h"

namespace s2t::test {

inline std::string couldNotOpenInput(const std::string& path) { return messages::couldNotOpenInput(path); }
inline std::string corruptedInput(const std::string& path) { return messages::corruptedInput(path); }
inline std::string notAChnFile(const std::string& path) { return messages::notAChnFile(path); }
inline std::string couldNotOpenOutput(const std::string& path) {
    return messages::withPath(messages::kOutputFailure, path);
}
inline std::string couldNotWriteOptionFile(const std::string& path) { return messages::couldNotWriteOptionFile(path); }
// A message as the command line writes it to standard error.
inline std::string consoleLine(std::string_view title, std::string_view text) {
    return std::string(title) + ": " + std::string(text) + "\n";
}

}  // namespace s2t::test
