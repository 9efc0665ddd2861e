#include "platform/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace s2t {

int openInputDescriptor(const std::string& path, long long& size) {
    size = -1;
    // Without O_NONBLOCK, opening a named pipe waits until some other process opens it for
    // writing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        ::close(fd);
        return -1;
    }
    if (S_ISREG(status.st_mode)) {
        // Reading a regular file never blocks, with the flag or without.
        size = status.st_size;
    } else {
        // Reads may block again (a pipe with a writer delivers what it is sent); one without a
        // writer ends at once.
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    return fd;
}

std::FILE* openInputFile(const std::string& path, long long& size) {
    const int fd = openInputDescriptor(path, size);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) ::close(fd);
    return file;
}

}  // namespace s2t
