#include "engine/BinaryInput.h"

#include <unistd.h>

#include <cerrno>

#include "platform/InputFile.h"

namespace s2t {
namespace {

// Repeats a read until length bytes have come or the file ends (a pipe delivers in pieces).
template <class ReadSome>
std::size_t readFully(std::size_t length, ReadSome&& readSome) {
    std::size_t got = 0;
    while (got < length) {
        const ssize_t n = readSome(got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

}  // namespace

// Read straight from the descriptor, without a stream's buffer: the readers ask for whole blocks
// (a header, then all the counts), so each takes one system call.
BinaryInput::BinaryInput(const std::string& path) { fd_ = openInputDescriptor(path, size_); }

BinaryInput::~BinaryInput() {
    if (fd_ >= 0) ::close(fd_);
}

std::size_t BinaryInput::readAt(long long offset, void* buffer, std::size_t length) {
    if (fd_ < 0 || offset < 0) return 0;
    char* bytes = static_cast<char*>(buffer);
    return readFully(length, [&](std::size_t got) {
        return ::pread(fd_, bytes + got, length - got, static_cast<off_t>(offset + static_cast<long long>(got)));
    });
}

std::size_t BinaryInput::read(void* buffer, std::size_t length) {
    if (fd_ < 0) return 0;
    char* bytes = static_cast<char*>(buffer);
    return readFully(length, [&](std::size_t got) { return ::read(fd_, bytes + got, length - got); });
}

}  // namespace s2t
