#include "platform/ScriptedPlatform.h"

#include "platform/NumberText.h"

namespace s2t {
namespace {

class RecordingProgress : public ProgressDisplay {
public:
    explicit RecordingProgress(ScriptedPlatform& owner) : owner_(owner) {
        owner_.calls.push_back({"progressOpen", "", ""});
    }
    ~RecordingProgress() override { owner_.calls.push_back({"progressClose", "", ""}); }
    void setLabel(std::string_view label) override { record("label", label); }
    // A repeated value shows nothing new, as on every display: one call is noted.
    void setValue(double percent) override {
        if (!owner_.recordProgressValues || percent == last_) return;
        last_ = percent;
        record("value", formatFixed(percent, 4));
    }
    void setInputFile(std::string_view path) override { record("input", path); }
    void setOutputFile(std::string_view path) override { record("output", path); }
    void setFileCounter(std::string_view text) override { record("counter", text); }

private:
    void record(const char* kind, std::string_view text) { owner_.calls.push_back({kind, "", std::string(text)}); }
    ScriptedPlatform& owner_;
    std::optional<double> last_;
};

// The next queued answer; an empty queue answers with a default-constructed value (no, cancel).
template <class T>
T takeFront(std::deque<T>& queue) {
    T front{};
    if (!queue.empty()) {
        std::swap(front, queue.front());
        queue.pop_front();
    }
    return front;
}

}  // namespace

void ScriptedPlatform::messagePopup(std::string_view title, std::string_view text) {
    calls.push_back({"message", std::string(title), std::string(text)});
}

bool ScriptedPlatform::confirmPopup(std::string_view title, std::string_view text) {
    calls.push_back({"confirm", std::string(title), std::string(text)});
    return takeFront(confirmAnswers);
}

std::optional<std::string> ScriptedPlatform::fileSelectPopup(const FileSelectOptions& options) {
    calls.push_back({"fileSelect", options.title, options.defaultDirectory});
    fileRequests.push_back(options);
    return takeFront(fileAnswers);
}

std::optional<std::vector<std::string>> ScriptedPlatform::multiFileSelectPopup(const FileSelectOptions& options) {
    calls.push_back({"multiFileSelect", options.title, options.defaultDirectory});
    fileRequests.push_back(options);
    return takeFront(multiFileAnswers);
}

std::optional<std::string> ScriptedPlatform::dirSelectPopup(const DirSelectOptions& options) {
    calls.push_back({"dirSelect", options.title, options.defaultDirectory});
    dirRequests.push_back(options);
    return takeFront(dirAnswers);
}

std::unique_ptr<ProgressDisplay> ScriptedPlatform::openProgressDisplay() {
    if (progressFails) return nullptr;
    return std::make_unique<RecordingProgress>(*this);
}

void ScriptedPlatform::setWaitCursor(bool on) { calls.push_back({"waitCursor", "", on ? "on" : "off"}); }

std::vector<PlatformCall> ScriptedPlatform::callsOf(std::string_view kind) const {
    std::vector<PlatformCall> found;
    for (const auto& call : calls)
        if (call.kind == kind) found.push_back(call);
    return found;
}

}  // namespace s2t
