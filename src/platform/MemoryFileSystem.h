// Output files kept in memory. The fuzz targets write every output here instead of onto the disk,
// and the tests use it to make writing fail on purpose: creation refused (no permission, no such
// folder) or a device that fills up after a given number of bytes. Like the real file system, a
// file appears under its name only when it is committed complete; an abandoned or failed file
// leaves the previous contents as they were.
#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "platform/FileSystem.h"

namespace s2t {

class MemoryFileSystem : public FileSystem {
public:
    std::unique_ptr<OutputFile> createOutputFile(const std::string& path, ExistingFile existing) override;
    std::unique_ptr<PendingOutputFile> createPendingFile(const std::string& nearPath) override;
    bool exists(const std::string& path) override;

    // Called with a file's target just before it is committed: a test makes another program take
    // the name there, as a run writing into the same folder at the same time would.
    std::function<void(const std::string&)> beforeCommit;

    // Committed files by path.
    std::map<std::string, std::string> files;
    // Names that exist without being files of ours (folders, files of other programs): they
    // count for exists() and cannot be replaced.
    std::set<std::string> occupied;
    // Every createOutputFile fails, as in a folder without write permission.
    bool refuseCreation = false;
    // Bytes the device can still take; writes beyond fail. Returned when an uncommitted file is
    // dropped, and when a committed file replaces a larger one.
    std::size_t spaceLeft = std::numeric_limits<std::size_t>::max();
    // Files started and not yet committed or dropped.
    int openFiles = 0;
    // Guards spaceLeft and openFiles, which the files of a batch's workers change at the same time.
    std::mutex accounting;
};

}  // namespace s2t
