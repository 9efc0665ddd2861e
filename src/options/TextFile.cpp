#include "options/TextFile.h"

#include <sys/types.h>

#include <cstdlib>

namespace s2t {

TextFile::TextFile(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {}

TextFile::~TextFile() {
    if (file_) std::fclose(file_);
    std::free(buffer_);
}

long TextFile::readLine(std::string& line) {
    line.clear();
    if (!file_) return -1;
    ssize_t length = ::getline(&buffer_, &capacity_, file_);
    if (length <= 0) return -1;
    if (buffer_[length - 1] != '\n') {
        line.assign(buffer_, static_cast<std::size_t>(length));
        return -1;
    }
    --length;
    if (length > 0 && buffer_[length - 1] == '\r') --length;
    line.assign(buffer_, static_cast<std::size_t>(length));
    return static_cast<long>(length);
}

void TextFile::rewind() {
    if (file_) std::rewind(file_);
}

long TextFile::tell() const { return file_ ? std::ftell(file_) : -1; }

void TextFile::seek(long position) {
    if (file_) std::fseek(file_, position, SEEK_SET);
}

}  // namespace s2t
