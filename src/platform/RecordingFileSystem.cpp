#include "platform/RecordingFileSystem.h"

namespace s2t {
namespace {

// A file of the file system below, whose path is noted once its commit succeeded.
template <class File>
class Recorded : public File {
public:
    Recorded(std::unique_ptr<File> inner, std::string path, RecordingFileSystem& owner)
            : inner_(std::move(inner)), path_(std::move(path)), owner_(owner) {}
    void write(std::string_view bytes) override { inner_->write(bytes); }
    void writeTaking(std::string& bytes) override { inner_->writeTaking(bytes); }
    bool commit() override {
        const bool done = inner_->commit();
        if (done) owner_.noteCompleted(path_);
        return done;
    }
    bool nameTaken() const override { return inner_->nameTaken(); }
    bool renameTo(const std::string& path) override {
        if (!inner_->renameTo(path)) return false;
        path_ = path;
        return true;
    }

protected:
    std::unique_ptr<File> inner_;
    std::string path_;
    RecordingFileSystem& owner_;
};

// Its path is known only once the batch names it.
class RecordedPendingFile : public Recorded<PendingOutputFile> {
public:
    using Recorded::Recorded;
    bool name(const std::string& path, ExistingFile existing) override {
        path_ = path;
        return inner_->name(path, existing);
    }
};

}  // namespace

RecordingFileSystem::RecordingFileSystem(std::shared_ptr<FileSystem> inner) : inner_(std::move(inner)) {}

std::unique_ptr<OutputFile> RecordingFileSystem::createOutputFile(const std::string& path, ExistingFile existing) {
    auto file = inner_->createOutputFile(path, existing);
    if (!file) return nullptr;
    return std::make_unique<Recorded<OutputFile>>(std::move(file), path, *this);
}

std::unique_ptr<PendingOutputFile> RecordingFileSystem::createPendingFile(const std::string& nearPath) {
    auto file = inner_->createPendingFile(nearPath);
    if (!file) return nullptr;
    return std::make_unique<RecordedPendingFile>(std::move(file), std::string(), *this);
}

bool RecordingFileSystem::exists(const std::string& path) { return inner_->exists(path); }

FileStatus RecordingFileSystem::statusOf(const std::string& path, bool followLinks) {
    return inner_->statusOf(path, followLinks);
}

std::vector<std::string> RecordingFileSystem::completed() const {
    std::lock_guard lock(mutex_);
    return completed_;
}

void RecordingFileSystem::noteCompleted(const std::string& path) {
    std::lock_guard lock(mutex_);
    completed_.push_back(path);
}

}  // namespace s2t
