#include "options/TextFile.h"

#include "platform/InputFile.h"

namespace s2t {

TextFile::TextFile(const std::string& path) {
    long long size = -1;
    file_ = openInputFile(path, size);
    tooLarge_ = file_ && size > kMaxFileSize;
}

TextFile::~TextFile() {
    if (file_) std::fclose(file_);
}

long TextFile::readLine(std::string& line) {
    line.clear();
    if (!file_ || cut_ || tooLarge_) return -1;
    for (;;) {
        const int c = getc_unlocked(file_);
        if (c == EOF) return -1;  // the text so far stays in line, unread as a line
        if (++consumed_ > kMaxFileSize) {
            line.clear();
            tooLarge_ = true;
            return -1;
        }
        if (c == '\n') break;
        if (line.size() == kMaxLineLength) {
            line.clear();
            cut_ = true;
            return -1;
        }
        line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return static_cast<long>(line.size());
}

void TextFile::rewind() {
    cut_ = false;
    consumed_ = 0;
    if (file_) std::rewind(file_);
}

}  // namespace s2t
