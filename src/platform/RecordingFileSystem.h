// A file system that notes which output files were completed, in the order they were completed,
// and otherwise does what the file system below it does. A caller that must name the files a
// batch wrote (the Python module's convert) runs the batch over one.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace s2t {

class RecordingFileSystem : public FileSystem {
public:
    explicit RecordingFileSystem(std::shared_ptr<FileSystem> inner);

    std::unique_ptr<OutputFile> createOutputFile(const std::string& path, ExistingFile existing) override;
    std::unique_ptr<PendingOutputFile> createPendingFile(const std::string& nearPath) override;
    bool exists(const std::string& path) override;
    FileStatus statusOf(const std::string& path, bool followLinks) override;

    // The paths of the files whose commit succeeded.
    std::vector<std::string> completed() const;
    // Called by the files this file system hands out.
    void noteCompleted(const std::string& path);

private:
    std::shared_ptr<FileSystem> inner_;
    mutable std::mutex mutex_;
    std::vector<std::string> completed_;
};

}  // namespace s2t
