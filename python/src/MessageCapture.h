// The messages the core shows through its console platform, kept in memory instead of written to
// standard error, so that they become the text of a Python exception or warning.
#pragma once

#include <cstdio>
#include <string>

namespace s2t::python {

class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    // Where the platform writes "TITLE: text" lines.
    std::FILE* file() { return file_; }
    // Everything written so far, without the last line end.
    std::string text();

private:
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* file_ = nullptr;
};

}  // namespace s2t::python
