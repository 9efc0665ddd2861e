// A platform and a progress display that show nothing and answer every question in the negative.
// An implementation that needs only a few of the services derives from them and overrides just
// those: a recorded conversion keeps its messages, a preview collects them, the command line prints
// them.
#pragma once

#include "platform/Platform.h"

namespace s2t {

// A progress display that shows nothing (and says so, so that nothing is computed for it).
class NullProgressDisplay : public ProgressDisplay {
public:
    void setLabel(std::string_view) override {}
    void setValue(double) override {}
    void setInputFile(std::string_view) override {}
    void setOutputFile(std::string_view) override {}
    void setFileCounter(std::string_view) override {}
    bool showsAnything() const override { return false; }
};

// Messages go nowhere, questions are answered no, popups are cancelled, there is no progress panel.
class NullPlatform : public Platform {
public:
    void messagePopup(std::string_view, std::string_view) override {}
    bool confirmPopup(std::string_view, std::string_view) override { return false; }
    std::optional<std::string> fileSelectPopup(const FileSelectOptions&) override { return std::nullopt; }
    std::optional<std::vector<std::string>> multiFileSelectPopup(const FileSelectOptions&) override {
        return std::nullopt;
    }
    std::optional<std::string> dirSelectPopup(const DirSelectOptions&) override { return std::nullopt; }
    std::unique_ptr<ProgressDisplay> openProgressDisplay() override { return nullptr; }
    void setWaitCursor(bool) override {}
};

}  // namespace s2t
