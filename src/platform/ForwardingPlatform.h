// A platform and a progress display laid over others: every call goes through to the one beneath.
// A wrapper that changes a few answers (the desktop batch's "Yes to All", a test's display that
// asks to stop) derives from them and overrides just those, so that a service added to Platform
// later reaches the platform beneath without every wrapper having to learn of it.
#pragma once

#include <memory>
#include <utility>

#include "platform/Platform.h"

namespace s2t {

// Forwards every call to inner, and works on inner's file system (a test's file system stays in
// force under the wrapper). inner must outlive the wrapper.
class ForwardingPlatform : public Platform {
public:
    explicit ForwardingPlatform(Platform& inner) : inner_(inner) {
        setFileSystem(std::shared_ptr<FileSystem>(std::shared_ptr<FileSystem>(), &inner.fileSystem()));
    }

    void messagePopup(std::string_view title, std::string_view text) override { inner_.messagePopup(title, text); }
    bool confirmPopup(std::string_view title, std::string_view text) override {
        return inner_.confirmPopup(title, text);
    }
    std::optional<std::string> fileSelectPopup(const FileSelectOptions& options) override {
        return inner_.fileSelectPopup(options);
    }
    std::optional<std::vector<std::string>> multiFileSelectPopup(const FileSelectOptions& options) override {
        return inner_.multiFileSelectPopup(options);
    }
    std::optional<std::string> dirSelectPopup(const DirSelectOptions& options) override {
        return inner_.dirSelectPopup(options);
    }
    std::unique_ptr<ProgressDisplay> openProgressDisplay() override { return inner_.openProgressDisplay(); }
    void setWaitCursor(bool on) override { inner_.setWaitCursor(on); }
    std::string dateText() override { return inner_.dateText(); }

protected:
    Platform& inner() { return inner_; }

private:
    Platform& inner_;
};

// Forwards every call to the display it owns.
class ForwardingProgressDisplay : public ProgressDisplay {
public:
    explicit ForwardingProgressDisplay(std::unique_ptr<ProgressDisplay> inner) : inner_(std::move(inner)) {}

    void setLabel(std::string_view label) override { inner_->setLabel(label); }
    void setValue(double percent) override { inner_->setValue(percent); }
    void setInputFile(std::string_view path) override { inner_->setInputFile(path); }
    void setOutputFile(std::string_view path) override { inner_->setOutputFile(path); }
    void setFileCounter(std::string_view text) override { inner_->setFileCounter(text); }
    bool showsAnything() const override { return inner_->showsAnything(); }
    bool stopRequested() override { return inner_->stopRequested(); }

protected:
    ProgressDisplay& inner() { return *inner_; }

private:
    std::unique_ptr<ProgressDisplay> inner_;
};

}  // namespace s2t
