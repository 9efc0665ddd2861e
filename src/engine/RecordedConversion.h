// A conversion run away from the caller's thread. Everything it shows (messages, wait cursor,
// progress) and does with its output (open, refusal, completion) is recorded in order, and its
// bytes go to a file without a name yet. The caller's thread later plays the record back: only
// then is the output named (with its "Replace?" question) and completed. Played back, a record
// shows and writes exactly what the conversion would have shown and written had it run there.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/OutputTarget.h"
#include "platform/NullPlatform.h"

namespace s2t {

// One thing a conversion showed or did with its output.
struct RecordedEvent {
    enum class Kind : std::uint8_t {
        Message,     // text: title, detail: the message
        WaitCursor,  // value: 1 on, 0 off
        Label,       // text: the progress indicator's label
        Value,       // value: the progress indicator's value
        Open,        // text: extension, detail: failure text
        Refuse,      // text: failure text
        Finish,      // text: failure text
    };
    Kind kind = Kind::Message;
    double value = 0.0;
    std::string text;
    std::string detail;
};

struct ConversionRecord {
    std::vector<RecordedEvent> events;
    // The output, written without a name; null when the conversion opened none.
    std::unique_ptr<PendingOutputFile> output;
    // The output could not be made without a name (a folder that takes no file, or a file system
    // that keeps no file without a name): the conversion stopped there, and the caller's thread
    // converts the file again itself.
    bool convertAgain = false;
};

// What a recorded conversion sees as its platform, progress display and output target. It asks
// no questions and opens no popups of its own (naming the output is the playback's part).
class ConversionRecorder : public NullPlatform, public ProgressDisplay, public OutputTarget {
public:
    // date: what dateText() gives, taken from the real platform beforehand. files: where outputs
    // are made without a name (null: the conversion opens none). showsProgress: whether the display
    // the record is played back on shows anything.
    ConversionRecorder(std::string date, FileSystem* files, bool showsProgress)
            : date_(std::move(date)), files_(files), showsProgress_(showsProgress) {}

    // The record so far; the recorder starts a fresh one.
    ConversionRecord take() { return std::exchange(record_, {}); }
    const ConversionRecord& record() const { return record_; }

    void messagePopup(std::string_view title, std::string_view text) override {
        add(RecordedEvent::Kind::Message, 0.0, title, text);
    }
    void setWaitCursor(bool on) override { add(RecordedEvent::Kind::WaitCursor, on ? 1.0 : 0.0); }
    std::string dateText() override { return date_; }

    void setLabel(std::string_view label) override { add(RecordedEvent::Kind::Label, 0.0, label); }
    // A pass sets the same value at every point of a tenth; the displays ignore a repeated value.
    void setValue(double percent) override {
        if (record_.events.empty() || record_.events.back().kind != RecordedEvent::Kind::Value ||
            record_.events.back().value != percent)
            add(RecordedEvent::Kind::Value, percent);
    }
    // The file fields and the counter belong to the batch run, which shows them itself.
    void setInputFile(std::string_view) override {}
    void setOutputFile(std::string_view) override {}
    void setFileCounter(std::string_view) override {}
    bool showsAnything() const override { return showsProgress_; }

    bool open(std::string_view base, std::string_view extension, std::string_view failureText) override;
    OutputFile& file() override { return *record_.output; }
    void refuse(std::string_view failureText) override { add(RecordedEvent::Kind::Refuse, 0.0, failureText); }
    // The file is taken to be completed: the playback finds out whether it really is.
    bool finish(std::string_view failureText) override {
        add(RecordedEvent::Kind::Finish, 0.0, failureText);
        return true;
    }

private:
    void add(RecordedEvent::Kind kind, double value, std::string_view text = {}, std::string_view detail = {}) {
        record_.events.push_back({kind, value, std::string(text), std::string(detail)});
    }

    std::string date_;
    FileSystem* files_;
    bool showsProgress_;
    ConversionRecord record_;
};

// Plays events back on the caller's thread with the real platform and progress display (null:
// none); the output (written without a name, see ConversionRecord) goes to base + its extension.
// batch: the files no output replaces (null: none). Whether the output was completed.
bool playBack(const std::vector<RecordedEvent>& events, std::unique_ptr<PendingOutputFile> output,
              const std::string& base, Platform& platform, ProgressDisplay* progress, BatchFiles* batch = nullptr);

}  // namespace s2t
