// A text file read line by line. A line ends at a line feed; a carriage return directly before
// it belongs to the line end. Lines of any length are read whole.
#pragma once

#include <cstdio>
#include <string>

namespace s2t {

class TextFile {
public:
    // Opens path for reading; check isOpen().
    explicit TextFile(const std::string& path);
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    bool isOpen() const { return file_ != nullptr; }

    // Reads the next line into line (line end removed). Returns its length, or -1 when the file
    // ends before a line feed: a last line without one is left in line but never counts as read.
    long readLine(std::string& line);

    void rewind();
    long tell() const;
    void seek(long position);

private:
    std::FILE* file_ = nullptr;
    char* buffer_ = nullptr;
    std::size_t capacity_ = 0;
};

}  // namespace s2t
