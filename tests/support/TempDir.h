// A fresh directory per test, removed afterwards, and small file helpers.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace s2t::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string file(std::string_view name) const;

private:
    std::string path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, std::string_view bytes);
bool fileExists(const std::string& path);

// What a folder holds: each entry's name with its bytes ("<dir>" for a folder).
std::map<std::string, std::string> folderContents(const std::string& folder);
// The names of a folder's entries, sorted.
std::vector<std::string> namesIn(const std::string& folder);

// Runs a shell command; returns its exit status and fills output with standard output (and
// standard error when mergeErrors).
int runCommand(const std::string& command, std::string& output, bool mergeErrors = false);

}  // namespace s2t::test
