// Output path helpers of the batch run: directory part, extension removal and addition, free
// output names with the "Replace?" question, and the progress indicator.
#include <algorithm>
#include <cstdio>

#include "engine/BatchRun.h"
#include "platform/Messages.h"

namespace s2t {

std::string getDirPath(std::string_view path) {
    auto separator = path.find_last_of("/\\");
    if (separator == std::string_view::npos) return std::string();
    return std::string(path.substr(0, separator + 1));
}

std::string removeExtension(std::string_view path) {
    auto dot = path.rfind('.');
    auto separator = path.find_last_of("/\\:");
    if (dot == std::string_view::npos) return std::string(path);
    if (separator != std::string_view::npos && dot < separator) return std::string(path);
    return std::string(path.substr(0, dot));
}

std::string addExtension(std::string_view path, std::string_view extension) {
    std::string result(path);
    result.push_back('.');
    result.append(extension.substr(0, 4));
    return result;
}

ChosenName freeNumberedName(std::string_view base, std::string_view extension, int first, FileSystem& files) {
    ChosenName name;
    for (int k = std::max(first, 1); k <= 9999; ++k) {
        char number[16];  // room for any int, though k stays below 10 000
        std::snprintf(number, sizeof number, "-%04d", k);
        name.path = addExtension(std::string(base) + number, extension);
        name.number = k;
        if (!files.exists(name.path)) return name;
    }
    name.exhausted = true;
    return name;
}

ChosenName findAFreeFileName(std::string_view base, std::string_view extension, Platform& platform) {
    ChosenName name;
    name.path = addExtension(base, extension);
    FileSystem& files = platform.fileSystem();
    if (!files.exists(name.path)) return name;
    if (platform.confirmPopup(messages::kReplaceOutput, messages::replaceOutput(name.path))) {
        name.existing = ExistingFile::Replace;
        return name;
    }
    return freeNumberedName(base, extension, 1, files);
}

}  // namespace s2t
