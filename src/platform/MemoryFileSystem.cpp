#include "platform/MemoryFileSystem.h"

namespace s2t {
namespace {

// A batch's workers write files without a name at the same time: the device's accounting is
// shared, and guarded.
class MemoryOutputFile : public PendingOutputFile {
public:
    MemoryOutputFile(MemoryFileSystem& owner, std::string path, ExistingFile existing)
            : owner_(owner), path_(std::move(path)), existing_(existing) {
        std::lock_guard lock(owner_.accounting);
        ++owner_.openFiles;
    }

    ~MemoryOutputFile() override {
        if (!done_) finish();
        std::lock_guard lock(owner_.accounting);
        owner_.spaceLeft += contents_.size();  // the temporary bytes go away
    }

    bool name(const std::string& path, ExistingFile existing) override {
        path_ = path;
        existing_ = existing;
        return !done_;
    }

    void write(std::string_view bytes) override {
        if (failed_ || done_) return;
        std::lock_guard lock(owner_.accounting);
        if (bytes.size() > owner_.spaceLeft) {
            failed_ = true;  // the device is full: nothing of this write lands
            return;
        }
        owner_.spaceLeft -= bytes.size();
        contents_.append(bytes);
    }

    bool commit() override {
        if (done_) return committed_;
        nameTaken_ = false;
        if (owner_.beforeCommit) owner_.beforeCommit(path_);
        // As on the disk: a name found free is never taken from a file that appeared under it.
        if (!failed_ && existing_ == ExistingFile::Keep && owner_.exists(path_)) {
            nameTaken_ = true;
            return false;
        }
        finish();
        if (failed_ || owner_.occupied.count(path_)) return false;
        std::string& target = owner_.files[path_];
        // The replaced file's bytes are freed, the new ones now belong to the target.
        std::lock_guard lock(owner_.accounting);
        owner_.spaceLeft += target.size();
        target.swap(contents_);
        contents_.clear();
        committed_ = true;
        return true;
    }

    bool nameTaken() const override { return nameTaken_; }
    bool renameTo(const std::string& path) override {
        if (done_) return false;
        path_ = path;
        existing_ = ExistingFile::Keep;
        return true;
    }

private:
    void finish() {
        done_ = true;
        std::lock_guard lock(owner_.accounting);
        --owner_.openFiles;
    }

    MemoryFileSystem& owner_;
    std::string path_;
    ExistingFile existing_;
    std::string contents_;
    bool nameTaken_ = false;
    bool failed_ = false;
    bool done_ = false;
    bool committed_ = false;
};

}  // namespace

std::unique_ptr<OutputFile> MemoryFileSystem::createOutputFile(const std::string& path, ExistingFile existing) {
    if (refuseCreation) return nullptr;
    return std::make_unique<MemoryOutputFile>(*this, path, existing);
}

std::unique_ptr<PendingOutputFile> MemoryFileSystem::createPendingFile(const std::string& nearPath) {
    if (refuseCreation) return nullptr;
    return std::make_unique<MemoryOutputFile>(*this, nearPath, ExistingFile::Keep);
}

bool MemoryFileSystem::exists(const std::string& path) { return files.count(path) || occupied.count(path); }

}  // namespace s2t
