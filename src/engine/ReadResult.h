// What reading an input file gives: the scan with the first abscissa and the step the file
// states, or the messages that say why the file cannot be converted. The readers and the mapping
// of their abscissae to 2-theta only describe what they met; a caller that reads a file for the
// user shows it with showReadMessages, on the platform that file's conversion reports to.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/ConversionRecords.h"
#include "platform/Platform.h"

namespace s2t {

// A message for the user: its title and its text.
struct UserMessage {
    std::string title;
    std::string text;

    bool operator==(const UserMessage&) const = default;
};

// Where a read scan's points lie before the mapping gives them 2-theta: point i at listed[i] when
// the file lists its abscissae, else at first + step x i (a channel file's channel index, from 0;
// a GUFI file's angles). Listed abscissae that are exactly first + step x i (onStep) are mapped as
// the latter, which lets a batch keep their angles for the next scan (AngleMemo.h).
struct Abscissae {
    double first = 0.0;
    double step = 1.0;
    std::optional<std::vector<double>> listed;
    bool onStep = false;

    bool followStep() const { return !listed || onStep; }
    double at(std::size_t i) const { return listed ? (*listed)[i] : first + step * static_cast<double>(i); }
};

struct ReadResult {
    // The scan: from a reader, its counts, header and metadata; once mapped (readAnyFile), every
    // point's 2-theta too.
    Scan scan;
    Abscissae abscissae;
    // The first abscissa and the step as the file states them, which `info` shows: a channel file's
    // first channel (whatever the channel index the calibration maps starts from) and 1; an angle
    // scan's first angle and its step, 0 when its angles follow no one step.
    double startAngle = 0.0;
    double inputStep = 0.0;
    // What the user is told, in order. A read that failed ends with the message that says why.
    std::vector<UserMessage> messages;
    bool failed = false;

    explicit operator bool() const { return !failed; }

    // The read ends here, for the reason given.
    ReadResult& fail(std::string_view title, std::string text) {
        messages.push_back({std::string(title), std::move(text)});
        failed = true;
        return *this;
    }
    static ReadResult failure(std::string_view title, std::string text) {
        ReadResult result;
        result.fail(title, std::move(text));
        return result;
    }
};

// Shows read's messages on platform, one popup each in order; whether the scan was read.
inline bool showReadMessages(const ReadResult& read, Platform& platform) {
    for (const UserMessage& message : read.messages) platform.messagePopup(message.title, message.text);
    return !read.failed;
}

}  // namespace s2t
