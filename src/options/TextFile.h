// A text file read line by line. A line ends at a line feed; a carriage return directly before
// it belongs to the line end. Lines are read whole up to kMaxLineLength characters, far beyond any
// line of an option, standard or peak file; a longer line (a binary file, a device such as
// /dev/zero that never ends one) ends the file there instead of taking all memory. A file larger
// than kMaxFileSize (by its size, or by what a pipe or a device gives) is no text file of this
// program: it reads as ending there, and tooLarge() tells the reader to refuse it.
#pragma once

#include <cstdio>
#include <string>

namespace s2t {

class TextFile {
public:
    // Opens path for reading; check isOpen(). A folder does not open.
    explicit TextFile(const std::string& path);
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    bool isOpen() const { return file_ != nullptr; }

    static constexpr std::size_t kMaxLineLength = std::size_t{1} << 26;
    static constexpr long long kMaxFileSize = 16LL << 20;

    // Whether the file is larger than kMaxFileSize: known at once for a file with a size, once
    // that much was read for a pipe or a device.
    bool tooLarge() const { return tooLarge_; }

    // Reads the next line into line (line end removed). Returns its length, or -1 when the file
    // ends before a line feed: a last line without one is left in line but never counts as read.
    // A line longer than kMaxLineLength also gives -1, with line empty.
    long readLine(std::string& line);

    void rewind();

private:
    std::FILE* file_ = nullptr;
    bool cut_ = false;  // an overlong line ended the file; rewind() reads again
    bool tooLarge_ = false;
    long long consumed_ = 0;  // bytes read since the start of the file
};

}  // namespace s2t
