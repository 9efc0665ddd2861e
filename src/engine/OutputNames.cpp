// Output path helpers of the batch run: directory part, extension removal and addition, free
// output names with the "Replace?" question, and the progress indicator.
#include <algorithm>
#include <cstdio>

#include "engine/BatchFiles.h"
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

namespace {

// base + extension (number 0) or base-000k + extension.
ChosenName numberedName(std::string_view base, std::string_view extension, int number) {
    ChosenName name;
    name.number = number;
    if (number == 0) {
        name.path = addExtension(base, extension);
        return name;
    }
    char suffix[16];  // room for any int, though numbers stay below 10 000
    std::snprintf(suffix, sizeof suffix, "-%04d", number);
    name.path = addExtension(std::string(base) + suffix, extension);
    return name;
}

}  // namespace

ChosenName freeNumberedName(std::string_view base, std::string_view extension, int first, FileSystem& files) {
    for (int k = std::max(first, 1); k <= 9999; ++k) {
        ChosenName name = numberedName(base, extension, k);
        if (!files.exists(name.path)) return name;
    }
    // The message then names the last numbered name, even when the search began beyond it.
    ChosenName last = numberedName(base, extension, 9999);
    last.exhausted = true;
    return last;
}

ChosenName findAFreeFileName(std::string_view base, std::string_view extension, Platform& platform,
                             const BatchFiles* batch) {
    FileSystem& files = platform.fileSystem();
    for (int k = 0; k <= 9999; ++k) {
        ChosenName name = numberedName(base, extension, k);
        if (!files.exists(name.path)) return name;
        // This batch's own output under the name was never the user's to replace: the next name.
        if (batch && batch->wasWritten(name.path, files)) continue;
        if (platform.confirmPopup(messages::kReplaceOutput, messages::replaceOutput(name.path))) {
            name.existing = ExistingFile::Replace;
            return name;
        }
        return freeNumberedName(base, extension, k + 1, files);
    }
    return freeNumberedName(base, extension, 10000, files);
}

}  // namespace s2t
