#include "platform/MemoryFileSystem.h"

namespace s2t {
namespace {

class MemoryOutputFile : public OutputFile {
public:
    MemoryOutputFile(MemoryFileSystem& owner, std::string path) : owner_(owner), path_(std::move(path)) {
        ++owner_.openFiles;
    }

    ~MemoryOutputFile() override {
        if (!done_) finish();
        owner_.spaceLeft += contents_.size();  // the temporary bytes go away
    }

    void write(std::string_view bytes) override {
        if (failed_ || done_) return;
        if (bytes.size() > owner_.spaceLeft) {
            failed_ = true;  // the device is full: nothing of this write lands
            return;
        }
        owner_.spaceLeft -= bytes.size();
        contents_.append(bytes);
    }

    bool commit() override {
        if (done_) return committed_;
        finish();
        if (failed_ || owner_.occupied.count(path_)) return false;
        std::string& target = owner_.files[path_];
        // The replaced file's bytes are freed, the new ones now belong to the target.
        owner_.spaceLeft += target.size();
        target.swap(contents_);
        contents_.clear();
        committed_ = true;
        return true;
    }

private:
    void finish() {
        done_ = true;
        --owner_.openFiles;
    }

    MemoryFileSystem& owner_;
    std::string path_;
    std::string contents_;
    bool failed_ = false;
    bool done_ = false;
    bool committed_ = false;
};

}  // namespace

std::unique_ptr<OutputFile> MemoryFileSystem::createOutputFile(const std::string& path) {
    if (refuseCreation) return nullptr;
    return std::make_unique<MemoryOutputFile>(*this, path);
}

bool MemoryFileSystem::exists(const std::string& path) { return files.count(path) || occupied.count(path); }

}  // namespace s2t
