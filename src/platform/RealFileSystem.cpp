#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/FileSystem.h"

namespace s2t {
namespace {

mode_t currentUmask() {
    // umask can only be read by setting it; put it straight back.
    mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

class PosixOutputFile : public OutputFile {
public:
    PosixOutputFile(std::string target, std::string temporary, int fd)
        : target_(std::move(target)), temporary_(std::move(temporary)), fd_(fd) {}

    ~PosixOutputFile() override {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_) ::unlink(temporary_.c_str());
    }

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
        if (!failed_ && ::fchmod(fd_, 0666 & ~currentUmask()) != 0) failed_ = true;
        int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) failed_ = true;
        if (failed_) return false;
        if (::rename(temporary_.c_str(), target_.c_str()) != 0) return false;
        committed_ = true;
        return true;
    }

private:
    std::string target_;
    std::string temporary_;
    int fd_;
    bool failed_ = false;
    bool committed_ = false;
};

}  // namespace

std::unique_ptr<OutputFile> RealFileSystem::createOutputFile(const std::string& path) {
    // A file the user may not write stays as it is, as an in-place write would have left it.
    if (exists(path) && ::access(path.c_str(), W_OK) != 0) return nullptr;
    // The temporary file sits in the target's directory so that the final rename is atomic.
    std::string::size_type slash = path.find_last_of('/');
    std::string directory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string pattern = directory + "." + name + ".partial-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixOutputFile>(path, std::string(buffer.data()), fd);
}

bool RealFileSystem::exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

}  // namespace s2t
