#include "engine/StreamOutputTarget.h"

#include <cerrno>

#include <unistd.h>

namespace s2t {

bool writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool StreamOutputTarget::open(std::string_view, std::string_view, std::string_view) {
    if (progress_) progress_->setOutputFile(name_);
    file_.bytes_.clear();
    return true;
}

void StreamOutputTarget::refuse(std::string_view failureText) {
    file_.bytes_.clear();
    reportOutputFailure(failureText, name_, platform_);
}

bool StreamOutputTarget::finish(std::string_view failureText) {
    const bool written = writeAll(descriptor_, file_.bytes_);
    file_.bytes_.clear();
    if (progress_) progress_->setValue(100.0);
    if (!written) reportOutputFailure(failureText, name_, platform_);
    return written;
}

}  // namespace s2t
