#include "engine/OutputTarget.h"

#include "engine/BatchRun.h"
#include "platform/Messages.h"

namespace s2t {

void reportOutputFailure(std::string_view failureText, const std::string& path, Platform& platform) {
    platform.messagePopup(messages::kFileError, messages::withPath(failureText, path));
}

std::string_view replacementRefusal(const std::string& path, const BatchFiles* batch, FileSystem& files) {
    // The entry itself: a symbolic link is replaced, never the file it leads to.
    const FileStatus target = files.statusOf(path, false);
    if (target.kind == FileStatus::Kind::Other) return messages::kNotRegularFailure;
    if (batch && batch->isInput(target)) return messages::kInputFailure;
    return {};
}

bool DirectOutputTarget::openWith(std::unique_ptr<PendingOutputFile> written, std::string_view base,
                                  std::string_view extension, std::string_view failureText) {
    base_ = base;
    extension_ = extension;
    name_ = findAFreeFileName(base, extension, platform_, batch_);
    path_ = name_.path;
    if (progress_) progress_->setOutputFile(path_);
    FileSystem& files = platform_.fileSystem();
    if (name_.existing == ExistingFile::Replace) {
        const std::string_view refusal = replacementRefusal(path_, batch_, files);
        if (!refusal.empty()) {
            file_ = nullptr;
            reportOutputFailure(refusal, path_, platform_);
            return false;
        }
    }
    // base-0001 to base-9999 all taken: the user declined to replace the file, so none is replaced.
    if (name_.exhausted)
        file_ = nullptr;
    else if (written)
        file_ = written->name(path_, name_.existing) ? std::move(written) : nullptr;
    else
        file_ = files.createOutputFile(path_, name_.existing);
    if (!file_) {
        reportOutputFailure(failureText, path_, platform_);
        return false;
    }
    return true;
}

bool DirectOutputTarget::commitUnderAFreeName() {
    while (file_->nameTaken()) {
        // Another run took the name after it was found free: the file moves on to the next free
        // number, as it would have had the other file been there from the start.
        name_ = freeNumberedName(base_, extension_, name_.number + 1, platform_.fileSystem());
        path_ = name_.path;
        if (progress_) progress_->setOutputFile(path_);
        if (name_.exhausted || !file_->renameTo(path_)) return false;
        if (file_->commit()) return true;
    }
    return false;
}

void DirectOutputTarget::refuse(std::string_view failureText) {
    reportOutputFailure(failureText, path_, platform_);
    file_.reset();  // the temporary file goes; the target stays as it was
}

bool DirectOutputTarget::finish(std::string_view failureText) {
    const bool written = file_ && (file_->commit() || commitUnderAFreeName());
    if (progress_) progress_->setValue(100.0);
    if (written && batch_) batch_->noteWritten(path_, platform_.fileSystem());
    if (!written) reportOutputFailure(failureText, path_, platform_);
    file_.reset();
    return written;
}

}  // namespace s2t
