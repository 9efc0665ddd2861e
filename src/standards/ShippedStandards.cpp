#include "standards/ShippedStandards.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "options/TextFile.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"
#include "standards/StandardFile.h"

namespace s2t {
namespace {

constexpr std::string_view kSeedPrefix = ".Standards.partial-";

// The process's file creation mask (read by setting it, and put straight back).
mode_t creationMask() {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// Whether the standard file at path has a name line, as the standards list needs. An empty file
// has none.
bool hasNameLine(const std::string& path) {
    TextFile file(path);
    std::string line, name;
    while (file.readLine(line) != -1)
        if (getNameOfStd(line, name)) return true;
    return false;
}

// Writes the shipped file into folder, complete or not at all (existing: what may become of a
// file under its name).
bool writeShipped(const ShippedFile& shipped, const std::string& folder, ExistingFile existing) {
    RealFileSystem files;
    auto file = files.createOutputFile(folder + "/" + std::string(shipped.name), existing);
    if (!file) return false;
    file->write(shipped.contents);
    return file->commit();
}

// Removes the seed folders that killed runs left in the program folder. A run holds a lock on its
// seed folder while it fills it, so a folder whose lock can be taken belongs to a run that is gone.
void removeDeadSeeds(const std::string& folder) {
    DIR* directory = ::opendir(folder.c_str());
    if (!directory) return;
    std::vector<std::string> seeds;
    while (const dirent* entry = ::readdir(directory))
        if (std::string_view(entry->d_name).starts_with(kSeedPrefix)) seeds.push_back(folder + "/" + entry->d_name);
    ::closedir(directory);
    for (const std::string& seed : seeds) {
        const int fd = ::open(seed.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            std::error_code ignored;
            std::filesystem::remove_all(seed, ignored);
        }
        ::close(fd);
    }
}

// Creates Standards/ with every shipped standard, complete or not at all: the files are written
// into a hidden seed folder that is then renamed into place. False when that could not be done
// (Standards/ may meanwhile have come from another run).
bool seedStandards(const std::string& folder, const std::string& standards) {
    removeDeadSeeds(folder);
    std::string pattern = folder + "/" + std::string(kSeedPrefix) + "XXXXXX";
    if (!::mkdtemp(pattern.data())) return false;
    const std::string seed = pattern;
    const int lock = ::open(seed.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock >= 0) ::flock(lock, LOCK_EX | LOCK_NB);
    // mkdtemp makes the folder private; Standards/ gets a new folder's permissions.
    bool complete = ::chmod(seed.c_str(), 0777 & ~creationMask()) == 0;
    for (const ShippedFile& file : shippedStandards())
        complete = complete && writeShipped(file, seed, ExistingFile::Keep);
    // A plain rename never replaces a folder that holds files: a run that got there first wins.
    const bool placed = complete && ::rename(seed.c_str(), standards.c_str()) == 0;
    if (!placed) {
        std::error_code ignored;
        std::filesystem::remove_all(seed, ignored);
    }
    if (lock >= 0) ::close(lock);
    return placed;
}

// Writes again every shipped standard that a killed run or a full disk left empty or without its
// name line. What the user added, edited or removed stays as it is.
void repairShippedStandards(const std::string& standards) {
    for (const ShippedFile& file : shippedStandards()) {
        const std::string path = standards + "/" + std::string(file.name);
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) continue;
        if (status.st_size > 0 && hasNameLine(path)) continue;
        writeShipped(file, standards, ExistingFile::Replace);
    }
}

}  // namespace

const std::vector<ShippedFile>& shippedStandards() {
    static const std::vector<ShippedFile> files = {
#include "ShippedStandardsData.inc"
    };
    return files;
}

bool prepareProgramFolder(const std::string& folder, std::string& error) {
    if (!ensureDirectory(folder, error)) return false;
    const std::string standards = folder + "/Standards";
    std::error_code code;
    if (!std::filesystem::exists(standards, code)) seedStandards(folder, standards);
    // Seeded here or by another run just now, or found: whatever a killed run left is mended.
    if (std::filesystem::is_directory(standards, code)) repairShippedStandards(standards);
    return true;  // the calibration still works without Standards/
}

}  // namespace s2t
