#include "ui/BatchFeedback.h"

namespace s2t::ui {
namespace {

std::string filesText(int n) { return std::to_string(n) + (n == 1 ? " file" : " files"); }

}  // namespace

// Forwards to the shown progress display, and tells the feedback which file is being converted.
class FeedbackProgress : public ProgressDisplay {
public:
    FeedbackProgress(BatchFeedback& feedback, std::unique_ptr<ProgressDisplay> shown)
            : feedback_(feedback), shown_(std::move(shown)) {}
    void setLabel(std::string_view label) override { shown_->setLabel(label); }
    void setValue(double percent) override { shown_->setValue(percent); }
    void setInputFile(std::string_view path) override {
        feedback_.currentInput_ = path;
        shown_->setInputFile(path);
    }
    void setOutputFile(std::string_view path) override { shown_->setOutputFile(path); }
    void setFileCounter(std::string_view text) override { shown_->setFileCounter(text); }
    bool showsAnything() const override { return shown_->showsAnything(); }
    bool stopRequested() override { return shown_->stopRequested(); }

private:
    BatchFeedback& feedback_;
    std::unique_ptr<ProgressDisplay> shown_;
};

ReplaceAnswer PlainBatchDialogs::askReplace(std::string_view title, std::string_view text) {
    return platform_.confirmPopup(title, text) ? ReplaceAnswer::Yes : ReplaceAnswer::No;
}

void PlainBatchDialogs::showSummary(const BatchSummary& summary) {
    platform_.messagePopup("Batch Finished", summaryText(summary));
}

std::string summaryText(const BatchSummary& summary) {
    std::string text = summary.headline;
    for (const BatchMessage& message : summary.messages) {
        text += "\n\n" + (message.input.empty() ? std::string("(before the first file)") : message.input) + "\n";
        text += message.title + ": " + message.text;
    }
    return text;
}

BatchFeedback::BatchFeedback(Platform& shown, BatchDialogs& dialogs, std::size_t files)
        : shown_(shown), dialogs_(dialogs), files_(files), several_(files > 1) {
    // The same files as the shown platform: a test's file system stays in force.
    setFileSystem(std::shared_ptr<FileSystem>(std::shared_ptr<FileSystem>(), &shown.fileSystem()));
}

void BatchFeedback::messagePopup(std::string_view title, std::string_view text) {
    if (!several_) {
        shown_.messagePopup(title, text);
        return;
    }
    held_.push_back({currentInput_, std::string(title), std::string(text)});
}

bool BatchFeedback::confirmPopup(std::string_view title, std::string_view text) {
    if (!several_ || title != "Replace?") return shown_.confirmPopup(title, text);
    if (replaceAll_) return *replaceAll_;
    switch (dialogs_.askReplace(title, text)) {
    case ReplaceAnswer::YesToAll: replaceAll_ = true; return true;
    case ReplaceAnswer::NoToAll: replaceAll_ = false; return false;
    case ReplaceAnswer::Yes: return true;
    case ReplaceAnswer::No: break;
    }
    return false;
}

std::optional<std::string> BatchFeedback::fileSelectPopup(const FileSelectOptions& options) {
    return shown_.fileSelectPopup(options);
}

std::optional<std::vector<std::string>> BatchFeedback::multiFileSelectPopup(const FileSelectOptions& options) {
    return shown_.multiFileSelectPopup(options);
}

std::optional<std::string> BatchFeedback::dirSelectPopup(const DirSelectOptions& options) {
    auto chosen = shown_.dirSelectPopup(options);
    if (chosen) destination_ = *chosen;
    return chosen;
}

std::unique_ptr<ProgressDisplay> BatchFeedback::openProgressDisplay() {
    std::unique_ptr<ProgressDisplay> shown = shown_.openProgressDisplay();
    if (!shown) return nullptr;
    return std::make_unique<FeedbackProgress>(*this, std::move(shown));
}

void BatchFeedback::setWaitCursor(bool on) { shown_.setWaitCursor(on); }

std::string BatchFeedback::dateText() { return shown_.dateText(); }

void BatchFeedback::finish(const BatchResult& result) {
    if (result.cancelled && held_.empty()) return;
    if (!result.stopped && held_.size() == 1) {
        shown_.messagePopup(held_[0].title, held_[0].text);
        return;
    }
    if (!result.stopped && held_.empty()) return;
    BatchSummary summary;
    summary.headline = filesText(result.converted) + " written to " + destination_ + ", " +
                       std::to_string(result.skipped) + " skipped.";
    if (result.stopped) {
        const int tried = result.converted + result.skipped;
        summary.headline += "\nCancelled: " + filesText(static_cast<int>(files_) - tried) + " not converted.";
    }
    summary.messages = std::move(held_);
    held_.clear();
    dialogs_.showSummary(summary);
}

}  // namespace s2t::ui
