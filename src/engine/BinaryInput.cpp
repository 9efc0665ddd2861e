#include "engine/BinaryInput.h"

#include <sys/stat.h>

namespace s2t {

BinaryInput::BinaryInput(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
    if (!file_) return;
    struct stat status {};
    if (::fstat(::fileno(file_), &status) != 0 || S_ISDIR(status.st_mode)) {
        std::fclose(file_);  // a folder is no input file
        file_ = nullptr;
        return;
    }
    if (S_ISREG(status.st_mode)) size_ = status.st_size;
}

BinaryInput::~BinaryInput() {
    if (file_) std::fclose(file_);
}

std::size_t BinaryInput::readAt(long long offset, void* buffer, std::size_t length) {
    if (!file_ || std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return 0;
    return read(buffer, length);
}

std::size_t BinaryInput::read(void* buffer, std::size_t length) {
    return file_ ? std::fread(buffer, 1, length, file_) : 0;
}

}  // namespace s2t
