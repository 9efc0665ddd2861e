// The platform of the command line: messages go to standard error as "TITLE: text", questions are
// answered by a policy the caller sets (or asked on the terminal), and progress shows on standard
// error only when that is a terminal.
#pragma once

#include <cstdio>

#include "platform/Platform.h"

namespace s2t {

enum class ConfirmPolicy { AlwaysYes, AlwaysNo, AskOnTerminal };

class ConsolePlatform : public Platform {
public:
    explicit ConsolePlatform(ConfirmPolicy policy = ConfirmPolicy::AlwaysNo, bool showProgress = true,
                             std::FILE* errors = stderr);

    void messagePopup(std::string_view title, std::string_view text) override;
    bool confirmPopup(std::string_view title, std::string_view text) override;
    std::optional<std::string> fileSelectPopup(const FileSelectOptions& options) override;
    std::optional<std::vector<std::string>> multiFileSelectPopup(const FileSelectOptions& options) override;
    std::optional<std::string> dirSelectPopup(const DirSelectOptions& options) override;
    std::unique_ptr<ProgressDisplay> openProgressDisplay() override;
    void setWaitCursor(bool on) override;
    std::string dateText() override;

    // Overrides today's date (CPI headers), e.g. for reproducible output.
    void setDateText(std::string text) { dateOverride_ = std::move(text); }
    int messageCount() const { return messageCount_; }

private:
    ConfirmPolicy policy_;
    bool showProgress_;
    std::FILE* errors_;
    int messageCount_ = 0;
    std::optional<std::string> dateOverride_;
};

}  // namespace s2t
