#include "engine/OutputTarget.h"

#include "engine/BatchRun.h"

namespace s2t {

void reportOutputFailure(std::string_view failureText, const std::string& path, Platform& platform) {
    std::string text(failureText);
    const auto at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, path);
    platform.messagePopup("File Error", text);
}

bool DirectOutputTarget::openWith(std::unique_ptr<PendingOutputFile> written, std::string_view base,
                                  std::string_view extension, std::string_view failureText) {
    path_ = findAFreeFileName(base, extension, platform_);
    if (progress_) progress_->setOutputFile(path_);
    // A numbered name comes back taken only when base-0001 to base-9999 all are: the user declined
    // to replace the file, so no file is replaced.
    const bool declinedAndTaken = path_ != addExtension(base, extension) && platform_.fileSystem().exists(path_);
    if (declinedAndTaken)
        file_ = nullptr;
    else if (written)
        file_ = written->name(path_) ? std::move(written) : nullptr;
    else
        file_ = platform_.fileSystem().createOutputFile(path_);
    if (!file_) {
        reportOutputFailure(failureText, path_, platform_);
        return false;
    }
    return true;
}

void DirectOutputTarget::refuse(std::string_view failureText) {
    reportOutputFailure(failureText, path_, platform_);
    file_.reset();  // the temporary file goes; the target stays as it was
}

bool DirectOutputTarget::finish(std::string_view failureText) {
    const bool written = file_ && file_->commit();
    if (progress_) progress_->setValue(100.0);
    if (!written) reportOutputFailure(failureText, path_, platform_);
    file_.reset();
    return written;
}

}  // namespace s2t
