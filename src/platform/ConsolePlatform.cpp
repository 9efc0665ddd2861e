#include "platform/ConsolePlatform.h"

#include <unistd.h>

#include <iostream>
#include <string>

#include "platform/Messages.h"

namespace s2t {
namespace {

// One status line on the terminal, rewritten in place.
class TerminalProgress : public ProgressDisplay {
public:
    explicit TerminalProgress(std::FILE* out) : out_(out) {}
    ~TerminalProgress() override {
        std::fputs("\r\033[K", out_);
        std::fflush(out_);
    }
    void setLabel(std::string_view label) override {
        label_ = label;
        redraw();
    }
    void setValue(double percent) override {
        int whole = static_cast<int>(percent);
        if (whole == shown_) return;
        shown_ = whole;
        redraw();
    }
    void setInputFile(std::string_view path) override { input_ = path; }
    void setOutputFile(std::string_view path) override {
        output_ = path;
        redraw();
    }
    void setFileCounter(std::string_view text) override {
        counter_ = text;
        redraw();
    }

private:
    void redraw() {
        std::fprintf(out_, "\r\033[K%s  %s %3d%%  %s", counter_.c_str(), label_.c_str(), shown_,
                     (output_.empty() ? input_ : output_).c_str());
        std::fflush(out_);
    }
    std::FILE* out_;
    std::string label_ = messages::kProgressLabel;
    std::string input_, output_, counter_;
    int shown_ = 0;
};

}  // namespace

ConsolePlatform::ConsolePlatform(ConfirmPolicy policy, bool showProgress, std::FILE* errors)
        : policy_(policy), showProgress_(showProgress), errors_(errors) {}

void ConsolePlatform::messagePopup(std::string_view title, std::string_view text) {
    ++messageCount_;
    std::string line(title);
    line += ": ";
    line += text;
    line += '\n';
    if (showProgress_ && ::isatty(::fileno(errors_))) std::fputs("\r\033[K", errors_);
    std::fputs(line.c_str(), errors_);
    std::fflush(errors_);
}

bool ConsolePlatform::confirmPopup(std::string_view title, std::string_view text) {
    switch (policy_) {
    case ConfirmPolicy::AlwaysYes: return true;
    case ConfirmPolicy::AlwaysNo: return false;
    case ConfirmPolicy::AskOnTerminal: break;
    }
    if (!::isatty(STDIN_FILENO)) return false;
    std::fprintf(errors_, "%.*s: %.*s [y/N] ", static_cast<int>(title.size()), title.data(),
                 static_cast<int>(text.size()), text.data());
    std::fflush(errors_);
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

std::unique_ptr<ProgressDisplay> ConsolePlatform::openProgressDisplay() {
    if (showProgress_ && ::isatty(::fileno(errors_))) return std::make_unique<TerminalProgress>(errors_);
    return std::make_unique<NullProgressDisplay>();
}

std::string ConsolePlatform::dateText() { return dateOverride_ ? *dateOverride_ : Platform::dateText(); }

}  // namespace s2t
