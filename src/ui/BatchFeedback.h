// What the desktop program adds to a batch of several files: a "Replace?" question that can
// answer for the rest of the batch ("Yes to All", "No to All"), and the files that failed told
// once at the end, in one summary, instead of one popup per file. The batch itself runs through
// this platform unchanged: the answers it gets are those the user gave, or the one given for all.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/BatchRun.h"
#include "platform/ForwardingPlatform.h"

namespace s2t::ui {

enum class ReplaceAnswer { Yes, No, YesToAll, NoToAll };

// A message the batch gave, with the input file it was converting then.
struct BatchMessage {
    std::string input;
    std::string title;
    std::string text;
};

// The summary at the end of a batch.
struct BatchSummary {
    std::string headline;  // "N files written to FOLDER, M skipped."
    std::vector<BatchMessage> messages;
};

// How the questions and the summary reach the user. The desktop platform asks with four buttons
// and shows the summary in a window of its own; any other platform asks yes or no and shows the
// summary as a message.
class BatchDialogs {
public:
    virtual ~BatchDialogs() = default;
    virtual ReplaceAnswer askReplace(std::string_view title, std::string_view text) = 0;
    virtual void showSummary(const BatchSummary& summary) = 0;
};

class PlainBatchDialogs : public BatchDialogs {
public:
    explicit PlainBatchDialogs(Platform& platform) : platform_(platform) {}
    ReplaceAnswer askReplace(std::string_view title, std::string_view text) override;
    void showSummary(const BatchSummary& summary) override;

private:
    Platform& platform_;
};

// The summary as one text: the headline, then each file with its message.
std::string summaryText(const BatchSummary& summary);

class BatchFeedback : public ForwardingPlatform {
public:
    // files: how many the batch converts. With one file everything goes straight through.
    BatchFeedback(Platform& shown, BatchDialogs& dialogs, std::size_t files);

    void messagePopup(std::string_view title, std::string_view text) override;
    bool confirmPopup(std::string_view title, std::string_view text) override;
    std::optional<std::string> dirSelectPopup(const DirSelectOptions& options) override;
    std::unique_ptr<ProgressDisplay> openProgressDisplay() override;

    // After the batch: the messages it held back, as they came (one of them alone is shown as it
    // was given; more, or a stopped batch, as a summary).
    void finish(const BatchResult& result);

private:
    friend class FeedbackProgress;
    BatchDialogs& dialogs_;
    const std::size_t files_;
    const bool several_;
    std::string destination_;  // the chosen output folder
    std::string currentInput_;
    std::optional<bool> replaceAll_;
    std::vector<BatchMessage> held_;
};

}  // namespace s2t::ui
