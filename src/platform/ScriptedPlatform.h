// The platform of the tests: every call is recorded in order, and answers come from queues the
// test fills beforehand (an empty queue answers "no" or "cancel").
#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace s2t {

struct PlatformCall {
    std::string kind;   // "message", "confirm", "fileSelect", "multiFileSelect", "dirSelect",
                        // "progressOpen", "progressClose", "label", "value", "input", "output",
                        // "counter", "waitCursor"
    std::string title;  // title of a popup; empty for progress calls
    std::string text;   // message or question; the value or text of a progress call

    bool operator==(const PlatformCall&) const = default;
};

// How a call reads in the report of a failed expectation: {kind, "title", "text"}, line ends
// written as \r and \n, instead of the object's raw bytes.
inline void PrintTo(const PlatformCall& call, std::ostream* os) {
    auto quoted = [os](const std::string& text) {
        *os << '"';
        for (char c : text) {
            if (c == '\n')
                *os << "\\n";
            else if (c == '\r')
                *os << "\\r";
            else
                *os << c;
        }
        *os << '"';
    };
    *os << '{' << call.kind << ", ";
    quoted(call.title);
    *os << ", ";
    quoted(call.text);
    *os << '}';
}

class ScriptedPlatform : public Platform {
public:
    void messagePopup(std::string_view title, std::string_view text) override;
    bool confirmPopup(std::string_view title, std::string_view text) override;
    std::optional<std::string> fileSelectPopup(const FileSelectOptions& options) override;
    std::optional<std::vector<std::string>> multiFileSelectPopup(const FileSelectOptions& options) override;
    std::optional<std::string> dirSelectPopup(const DirSelectOptions& options) override;
    std::unique_ptr<ProgressDisplay> openProgressDisplay() override;
    void setWaitCursor(bool on) override;
    std::string dateText() override { return date; }

    // Calls of the given kind, in order.
    std::vector<PlatformCall> callsOf(std::string_view kind) const;
    std::vector<PlatformCall> messages() const { return callsOf("message"); }

    std::vector<PlatformCall> calls;
    std::deque<bool> confirmAnswers;
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<std::optional<std::vector<std::string>>> multiFileAnswers;
    std::deque<std::optional<std::string>> dirAnswers;
    std::vector<FileSelectOptions> fileRequests;  // arguments of every (multi)file popup
    std::vector<DirSelectOptions> dirRequests;
    bool progressFails = false;        // openProgressDisplay returns null
    bool recordProgressValues = true;  // large scans: keep the log small
    std::string date = "2026-01-02";
};

}  // namespace s2t
