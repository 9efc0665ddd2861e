#include "engine/BatchFiles.h"

#include <algorithm>

namespace s2t {

void BatchFiles::noteInputs(const std::vector<std::string>& paths, FileSystem& files) {
    for (const std::string& path : paths) {
        FileStatus status = files.statusOf(path, true);
        if (status.identified) inputs_.push_back(status);
    }
}

bool BatchFiles::isInput(const FileStatus& target) const {
    return std::any_of(inputs_.begin(), inputs_.end(),
                       [&](const FileStatus& input) { return target.sameFileAs(input); });
}

void BatchFiles::noteWritten(const std::string& path, FileSystem& files) {
    writtenPaths_.push_back(path);
    FileStatus status = files.statusOf(path, false);
    if (status.identified) writtenFiles_.push_back(status);
}

bool BatchFiles::wasWritten(const std::string& path, FileSystem& files) const {
    if (std::find(writtenPaths_.begin(), writtenPaths_.end(), path) != writtenPaths_.end()) return true;
    if (writtenFiles_.empty()) return false;
    const FileStatus status = files.statusOf(path, false);
    return std::any_of(writtenFiles_.begin(), writtenFiles_.end(),
                       [&](const FileStatus& written) { return status.sameFileAs(written); });
}

}  // namespace s2t
