#include "MessageCapture.h"

#include <cstdlib>
#include <new>

namespace s2t::python {

MessageCapture::MessageCapture() : file_(open_memstream(&buffer_, &size_)) {
    if (!file_) throw std::bad_alloc();
}

MessageCapture::~MessageCapture() {
    std::fclose(file_);
    std::free(buffer_);
}

std::string MessageCapture::text() {
    std::fflush(file_);
    std::string text(buffer_, size_);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

}  // namespace s2t::python
