#include "ui/BatchFeedback.h"
#include "ui/PanelMessages.h"

namespace s2t::ui {
// The shown progress display, telling the feedback which file is being converted.
class FeedbackProgress : public ForwardingProgressDisplay {
public:
    FeedbackProgress(BatchFeedback& feedback, std::unique_ptr<ProgressDisplay> shown)
            : ForwardingProgressDisplay(std::move(shown)), feedback_(feedback) {}
    void setInputFile(std::string_view path) override {
        feedback_.currentInput_ = path;
        ForwardingProgressDisplay::setInputFile(path);
    }

private:
    BatchFeedback& feedback_;
};

ReplaceAnswer PlainBatchDialogs::askReplace(std::string_view title, std::string_view text) {
    return platform_.confirmPopup(title, text) ? ReplaceAnswer::Yes : ReplaceAnswer::No;
}

void PlainBatchDialogs::showSummary(const BatchSummary& summary) {
    platform_.messagePopup(messages::kBatchFinished, summaryText(summary));
}

std::string summaryText(const BatchSummary& summary) {
    std::string text = summary.headline;
    for (const BatchMessage& message : summary.messages) {
        text += "\n\n" + (message.input.empty() ? std::string(messages::kBeforeTheFirstFile) : message.input) + "\n";
        text += message.title + ": " + message.text;
    }
    return text;
}

BatchFeedback::BatchFeedback(Platform& shown, BatchDialogs& dialogs, std::size_t files)
        : ForwardingPlatform(shown), dialogs_(dialogs), files_(files), several_(files > 1) {}

void BatchFeedback::messagePopup(std::string_view title, std::string_view text) {
    if (!several_) {
        inner().messagePopup(title, text);
        return;
    }
    held_.push_back({currentInput_, std::string(title), std::string(text)});
}

bool BatchFeedback::confirmPopup(std::string_view title, std::string_view text) {
    if (!several_ || title != messages::kReplaceOutput) return ForwardingPlatform::confirmPopup(title, text);
    if (replaceAll_) return *replaceAll_;
    switch (dialogs_.askReplace(title, text)) {
    case ReplaceAnswer::YesToAll: replaceAll_ = true; return true;
    case ReplaceAnswer::NoToAll: replaceAll_ = false; return false;
    case ReplaceAnswer::Yes: return true;
    case ReplaceAnswer::No: break;
    }
    return false;
}

std::optional<std::string> BatchFeedback::dirSelectPopup(const DirSelectOptions& options) {
    auto chosen = ForwardingPlatform::dirSelectPopup(options);
    if (chosen) destination_ = *chosen;
    return chosen;
}

std::unique_ptr<ProgressDisplay> BatchFeedback::openProgressDisplay() {
    std::unique_ptr<ProgressDisplay> shown = ForwardingPlatform::openProgressDisplay();
    if (!shown) return nullptr;
    return std::make_unique<FeedbackProgress>(*this, std::move(shown));
}

void BatchFeedback::finish(const BatchResult& result) {
    if (result.cancelled && held_.empty()) return;
    if (!result.stopped && held_.size() == 1) {
        inner().messagePopup(held_[0].title, held_[0].text);
        return;
    }
    if (!result.stopped && held_.empty()) return;
    BatchSummary summary;
    summary.headline = messages::batchHeadline(result.converted, destination_, result.skipped);
    if (result.stopped) {
        const int tried = result.converted + result.skipped;
        summary.headline += messages::batchCancelled(static_cast<int>(files_) - tried);
    }
    summary.messages = std::move(held_);
    held_.clear();
    dialogs_.showSummary(summary);
}

}  // namespace s2t::ui
