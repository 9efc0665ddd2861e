#include "engine/BinaryInput.h"

#include "platform/InputFile.h"

namespace s2t {

BinaryInput::BinaryInput(const std::string& path) { file_ = openInputFile(path, size_); }

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
