#include "platform/Platform.h"

#include <ctime>

namespace s2t {

Platform::Platform() : fileSystem_(std::make_shared<RealFileSystem>()) {}
Platform::~Platform() = default;

std::string Platform::dateText() { return todayIsoDate(); }

void Platform::setFileSystem(std::shared_ptr<FileSystem> fileSystem) {
    fileSystem_ = fileSystem ? std::move(fileSystem) : std::make_shared<RealFileSystem>();
}

std::string todayIsoDate() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

}  // namespace s2t
