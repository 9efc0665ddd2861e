#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace s2t {
namespace {

constexpr std::string_view kPartialMarker = ".partial-";
constexpr std::size_t kUniqueLength = 6;       // the XXXXXX of mkostemp
constexpr std::size_t kLongestFileName = 255;  // NAME_MAX of every file system this runs on

// Whether name is a temporary output file of this program: ".<name>.partial-XXXXXX".
bool isPartialName(std::string_view name) {
    if (name.size() < 1 + 1 + kPartialMarker.size() + kUniqueLength || name[0] != '.') return false;
    const std::size_t marker = name.size() - kUniqueLength - kPartialMarker.size();
    return name.substr(marker, kPartialMarker.size()) == kPartialMarker;
}

// The folder part of path, with its final slash ("" for a bare name).
std::string folderOf(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The part of an output's name that its temporary name repeats: the whole name, or as much of it
// as leaves room for the dot, the marker and the random characters within the longest file name
// (cut before a character, never inside one). An output name of 240 bytes or more can then still
// replace a file.
std::string temporaryStem(const std::string& name) {
    constexpr std::size_t room = kLongestFileName - 1 - kPartialMarker.size() - kUniqueLength;
    if (name.size() <= room) return name;
    std::size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    return name.substr(0, cut);
}

// The name a temporary file gets in folder for a file called name: ".<name>.partial-" and six
// random characters.
std::string temporaryName(const std::string& folder, const std::string& name) {
    static constexpr char kCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char random[kUniqueLength] = {};
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
        // Without random bytes, the clock differs from one try to the next.
        const auto mixed = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
        for (std::size_t i = 0; i < kUniqueLength; ++i) random[i] = static_cast<unsigned char>(mixed >> (8 * i));
    }
    std::string path = folder + "." + temporaryStem(name) + std::string(kPartialMarker);
    for (unsigned char r : random) path += kCharacters[r % (sizeof kCharacters - 1)];
    return path;
}

// Gives the file open as to the extended attributes of the file under from (its link followed):
// its access list (system.posix_acl_access: a colleague's right to write it), its security label,
// the user's own notes. An attribute this process may not set stays off the new file, as it
// would on a copy.
void copyExtendedAttributes(const std::string& from, int to) {
    std::vector<char> names(1024);
    ssize_t length = -1;
    // The list may grow between asking for its size and reading it: a few tries.
    for (int attempt = 0; attempt < 4; ++attempt) {
        length = ::listxattr(from.c_str(), names.data(), names.size());
        if (length >= 0 || errno != ERANGE) break;
        const ssize_t needed = ::listxattr(from.c_str(), nullptr, 0);
        if (needed <= 0) return;
        names.resize(static_cast<std::size_t>(needed));
    }
    std::vector<char> value;
    for (ssize_t at = 0; at < length; at += static_cast<ssize_t>(std::char_traits<char>::length(&names[at])) + 1) {
        const char* name = &names[at];
        const ssize_t size = ::getxattr(from.c_str(), name, nullptr, 0);
        if (size < 0) continue;
        value.resize(static_cast<std::size_t>(size));
        const ssize_t got = ::getxattr(from.c_str(), name, value.data(), value.size());
        if (got >= 0) ::fsetxattr(to, name, value.data(), static_cast<std::size_t>(got), 0);
    }
}

// One output file: either written without a name (anonymous, O_TMPFILE) or under a temporary
// name beside its target. The descriptor is locked (flock) before the file has a temporary name,
// so that it is never taken for a dead run's leftover while it has one.
class PosixOutputFile : public PendingOutputFile {
public:
    // temporary: the file's temporary name; empty for a file without a name.
    PosixOutputFile(std::string folder, std::string nameHint, std::string temporary, int fd, mode_t umask)
            : folder_(std::move(folder)),
              nameHint_(std::move(nameHint)),
              temporary_(std::move(temporary)),
              anonymous_(temporary_.empty()),
              fd_(fd),
              umask_(umask) {}

    ~PosixOutputFile() override {
        if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
        if (fd_ >= 0) ::close(fd_);
    }

    bool name(const std::string& path, ExistingFile existing) override {
        // Only a rename within the folder is atomic.
        if (folderOf(path) != folder_) return false;
        existing_ = existing;
        struct stat link {};
        replacing_ = existing == ExistingFile::Replace && ::lstat(path.c_str(), &link) == 0;
        keepsOwner_ = false;
        mode_ = 0666 & ~umask_;
        if (replacing_) {
            // Only a file's bytes are ever replaced: a folder, a device, a named pipe or a socket
            // under the name stays what it is.
            if (!S_ISREG(link.st_mode) && !S_ISLNK(link.st_mode)) return false;
            // A file the user may not write stays as it is, as an in-place write would have left it.
            struct stat existingFile {};
            const bool resolved = ::stat(path.c_str(), &existingFile) == 0;
            if (resolved && ::access(path.c_str(), W_OK) != 0) return false;
            // A replaced file keeps its owner, group and permissions, as if it had been rewritten
            // in place.
            if (resolved && S_ISREG(existingFile.st_mode)) {
                mode_ = existingFile.st_mode & 0777;
                owner_ = existingFile.st_uid;
                group_ = existingFile.st_gid;
                keepsOwner_ = true;
            }
        }
        target_ = path;
        return true;
    }

    bool nameTaken() const override { return nameTaken_; }
    bool renameTo(const std::string& path) override { return name(path, ExistingFile::Keep); }

    void write(std::string_view bytes) override {
        while (!failed_ && !bytes.empty()) {
            ssize_t written = ::write(fd_, bytes.data(), bytes.size());
            if (written < 0) {
                if (errno == EINTR) continue;
                failed_ = true;
            } else {
                bytes.remove_prefix(static_cast<std::size_t>(written));
            }
        }
    }

    bool commit() override {
        if (committed_) return true;
        nameTaken_ = false;
        if (fd_ < 0 || target_.empty()) return false;
        // When a file the user already has is replaced, the new bytes reach the device before
        // the name does: after a power cut the target holds either the old file or the complete
        // new one, never an empty or partial one. A new name risks no earlier data, and a
        // device flush per file would cost a batch more than all its computing.
        if (!failed_ && replacing_ && ::fdatasync(fd_) != 0) failed_ = true;
        // Owner and group first: changing them may clear permission bits that fchmod then sets.
        // The access list next: fchmod then sets its mask from the old file's group bits, which
        // are that mask.
        if (!failed_ && replacing_ && keepsOwner_) {
            keepOwner();
            copyExtendedAttributes(target_, fd_);
        }
        // A file made without a name already has a new file's permissions (see createPendingFile).
        if (!failed_ && (replacing_ || !anonymous_) && ::fchmod(fd_, mode_) != 0) failed_ = true;
        // Named while still open (and locked, if it goes by a temporary name), so that no other
        // run takes the file for a leftover of a killed one and removes it before it has its name.
        if (!failed_ && !publish()) {
            if (nameTaken_) return false;  // still whole and open: the caller names it again
            failed_ = true;
        }
        committed_ = !failed_;
        ::close(fd_);
        fd_ = -1;
        return committed_;
    }

private:
    bool publish() {
        if (anonymous_) {
            // Under a new name the complete file appears in one step, and never over a file that
            // took the name after it was found free.
            if (!replacing_ && linkTo(target_)) return true;
            if (!replacing_ && errno == EEXIST && existing_ == ExistingFile::Keep) {
                nameTaken_ = true;
                return false;
            }
            // The user agreed to replace the file under this name, and one has appeared since
            // the name was chosen: it is replaced as below, from a temporary name, and like any
            // replaced file only once the new bytes are on the device.
            if (!replacing_ && (errno != EEXIST || ::fdatasync(fd_) != 0)) return false;
            if (!linkUnderTemporaryName()) return false;
        }
        if (existing_ == ExistingFile::Keep) return renameWithoutReplacing();
        // Whatever appeared under the name since it was checked: only a file's bytes are replaced.
        struct stat link {};
        if (::lstat(target_.c_str(), &link) == 0 && !S_ISREG(link.st_mode) && !S_ISLNK(link.st_mode)) return false;
        return ::rename(temporary_.c_str(), target_.c_str()) == 0;
    }

    // Gives the temporary file the target's name unless something has that name already.
    bool renameWithoutReplacing() {
        if (::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) == 0) return true;
        if (errno == EINVAL || errno == ENOSYS) {
            // A file system without that rename: a second name, then the first one goes.
            if (::link(temporary_.c_str(), target_.c_str()) == 0) {
                ::unlink(temporary_.c_str());
                return true;
            }
        }
        nameTaken_ = errno == EEXIST;
        return false;
    }

    // The replaced file's owner and group, where this process may give them (root, or a group
    // the user belongs to); otherwise the new file stays the user's own, as a copy would be.
    void keepOwner() {
        if (::fchown(fd_, owner_, group_) == 0) return;
        if (::fchown(fd_, static_cast<uid_t>(-1), group_) == 0) return;
    }

    // Gives the file without a name the name path, through its descriptor's entry in /proc (a
    // link made from the descriptor itself needs privileges on older kernels).
    bool linkTo(const std::string& path) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
    }

    bool linkUnderTemporaryName() {
        ::flock(fd_, LOCK_EX | LOCK_NB);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string path = temporaryName(folder_, nameHint_);
            if (linkTo(path)) {
                temporary_ = std::move(path);
                return true;
            }
            if (errno != EEXIST) return false;
        }
        return false;
    }

    std::string folder_;
    std::string nameHint_;   // the name the temporary name is made from
    std::string temporary_;  // empty while the file has no name
    bool anonymous_;
    int fd_;
    mode_t umask_;
    std::string target_;  // empty until named
    mode_t mode_ = 0;
    ExistingFile existing_ = ExistingFile::Keep;
    bool replacing_ = false;
    bool keepsOwner_ = false;
    uid_t owner_ = 0;
    gid_t group_ = 0;
    bool nameTaken_ = false;
    bool failed_ = false;
    bool committed_ = false;
};

}  // namespace

mode_t RealFileSystem::readUmask() {
    // umask can only be read by setting it; put it straight back.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

void RealFileSystem::removeLeftovers(const std::string& directory) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!cleanedDirectories_.insert(directory).second) return;
    }
    DIR* folder = ::opendir(directory.empty() ? "." : directory.c_str());
    if (!folder) return;
    std::vector<std::string> leftovers;
    while (const dirent* entry = ::readdir(folder))
        if (isPartialName(entry->d_name)) leftovers.push_back(directory + entry->d_name);
    ::closedir(folder);
    for (const std::string& path : leftovers) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat status {};
        // A run that is still writing holds the lock; only a dead run's file can be locked.
        if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
}

std::unique_ptr<OutputFile> RealFileSystem::createOutputFile(const std::string& path, ExistingFile existing) {
    std::unique_ptr<PendingOutputFile> file = createPendingFile(path);
    if (!file || !file->name(path, existing)) return nullptr;
    return file;
}

std::unique_ptr<PendingOutputFile> RealFileSystem::createPendingFile(const std::string& nearPath) {
    // The file is made in the target's folder so that naming it is atomic.
    const std::string folder = folderOf(nearPath);
    const std::string name = nearPath.substr(folder.size());
    removeLeftovers(folder);
    if (namesUnnamedFiles_) {
        // Without a name, the file needs no lock on the folder while it is made (files made side
        // by side do not wait for each other), and a killed run leaves nothing behind. Nobody can
        // open it before it is named, so it gets a new file's permissions at once, as any file
        // made under a name would (the umask, or the folder's default access list).
        const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) return std::make_unique<PosixOutputFile>(folder, name, std::string(), fd, umask_);
        // A file system without O_TMPFILE: a temporary name instead.
    }
    const std::string pattern = folder + "." + temporaryStem(name) + std::string(kPartialMarker) + "XXXXXX";
    for (int attempt = 0; attempt < 10; ++attempt) {
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
        if (fd < 0) return nullptr;
        // Held until the file is renamed or removed: the mark of a live run. (A file system
        // without locks gets none; its leftovers are then never taken for dead ones.)
        const bool taken = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        struct stat opened {
        }, named{};
        if (!taken && ::fstat(fd, &opened) == 0 && ::lstat(buffer.data(), &named) == 0 &&
            opened.st_ino == named.st_ino && opened.st_dev == named.st_dev)
            return std::make_unique<PosixOutputFile>(folder, name, std::string(buffer.data()), fd, umask_);
        // Another run cleaning up took the fresh file for a leftover: start again.
        ::close(fd);
    }
    return nullptr;
}

bool RealFileSystem::canNameUnnamedFiles() { return ::access("/proc/self/fd", X_OK) == 0; }

bool RealFileSystem::exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

FileStatus RealFileSystem::statusOf(const std::string& path, bool followLinks) {
    struct stat found {};
    FileStatus status;
    if ((followLinks ? ::stat(path.c_str(), &found) : ::lstat(path.c_str(), &found)) != 0) return status;
    status.kind = S_ISREG(found.st_mode)   ? FileStatus::Kind::RegularFile
                  : S_ISLNK(found.st_mode) ? FileStatus::Kind::SymbolicLink
                                           : FileStatus::Kind::Other;
    status.identified = true;
    status.device = static_cast<std::uint64_t>(found.st_dev);
    status.inode = static_cast<std::uint64_t>(found.st_ino);
    return status;
}

}  // namespace s2t
