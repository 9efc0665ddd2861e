// The platform of the command line: messages go to standard error as "TITLE: text", questions are
// answered by a policy the caller sets (or asked on the terminal), and progress shows on standard
// error only when that is a terminal.
#pragma once

#include <cstdio>

#include "platform/NullPlatform.h"

namespace s2t {

enum class ConfirmPolicy { AlwaysYes, AlwaysNo, AskOnTerminal };

// The command line names its files itself: the file and folder popups are cancelled.
class ConsolePlatform : public NullPlatform {
public:
    explicit ConsolePlatform(ConfirmPolicy policy = ConfirmPolicy::AlwaysNo, bool showProgress = true,
                             std::FILE* errors = stderr);

    void messagePopup(std::string_view title, std::string_view text) override;
    bool confirmPopup(std::string_view title, std::string_view text) override;
    std::unique_ptr<ProgressDisplay> openProgressDisplay() override;
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
