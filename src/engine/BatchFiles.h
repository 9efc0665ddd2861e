// The files a batch must leave as they are, whatever the "Replace?" answer: its inputs, as they
// stood when it started, and the outputs it has written itself. Two inputs whose outputs get one
// name (scan.chn and scan.guf into scan.txt) then give two files, never one that replaced the
// other while both were reported converted.
#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace s2t {

class BatchFiles {
public:
    // Takes note of each input as it stands now, its links followed.
    void noteInputs(const std::vector<std::string>& paths, FileSystem& files);
    // Whether target (an entry, its link not followed) is one of the inputs, under whatever name.
    bool isInput(const FileStatus& target) const;

    // Takes note of an output this batch has just completed under path.
    void noteWritten(const std::string& path, FileSystem& files);
    // Whether the file under path is one this batch wrote (by its path, or by device and inode
    // where the file system knows them).
    bool wasWritten(const std::string& path, FileSystem& files) const;

private:
    std::vector<FileStatus> inputs_;
    std::vector<std::string> writtenPaths_;
    std::vector<FileStatus> writtenFiles_;
};

}  // namespace s2t
