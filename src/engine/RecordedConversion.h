// A conversion run away from the caller's thread. Everything it shows (messages, wait cursor,
// progress) and everything it does with its output file (open, bytes, refusal, completion) is
// recorded in order; the caller's thread later plays the record back, and only then is the output
// named (with its "Replace?" question), created, written and completed. Played back, a record
// shows and writes exactly what the conversion would have shown and written had it run there.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/OutputTarget.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"

namespace s2t {

// One thing a conversion showed or did with its output.
struct RecordedEvent {
    enum class Kind : std::uint8_t {
        Message,     // texts: title, text
        WaitCursor,  // value: 1 on, 0 off
        Label,       // texts: the progress indicator's label
        Values,      // the stretch's values[first, first + count), each set `repeat` times
        Open,        // texts: extension, failure text
        Refuse,      // texts: failure text
        Finish,      // texts: failure text
    };
    Kind kind = Kind::Message;
    std::uint32_t count = 0;      // Values: how many
    double value = 0.0;
    std::uint32_t first = 0;      // index of the first text (Values: of the first value) in the stretch
};

// A progress value and how many times in a row it was set.
struct RecordedValue {
    double percent = 0.0;
    std::uint32_t repeat = 1;
};

// A stretch of a record: its events with their texts, and the output bytes written among them
// (all after the stretch's Open, when it has one, and before its Finish).
// When the file system keeps files without a name, the output file itself travels with the
// stretch of its Open, already written, and bytes stays empty.
struct RecordedStretch {
    std::vector<RecordedEvent> events;
    std::vector<std::string> texts;
    // Progress values, apart from the events: a spline sets a value every few points, and one
    // event each would cost more to record and play than the values themselves.
    std::vector<RecordedValue> values;
    std::string bytes;
    std::unique_ptr<PendingOutputFile> written;

    void clear() {
        events.clear();
        texts.clear();
        values.clear();
        bytes.clear();
        written.reset();
    }
};

// Records a conversion into its current stretch. A stretch whose output bytes pass
// kStretchBytes is offered to stretchFull(), so that a large output can be played back while it
// is still being composed instead of being held whole in memory.
class ConversionRecorder {
public:
    static constexpr std::size_t kStretchBytes = std::size_t{1} << 20;

    ConversionRecorder() = default;
    virtual ~ConversionRecorder() = default;
    ConversionRecorder(const ConversionRecorder&) = delete;
    ConversionRecorder& operator=(const ConversionRecorder&) = delete;

    void message(std::string_view title, std::string_view text);
    void waitCursor(bool on);
    void label(std::string_view text);
    void value(double percent);
    void open(std::string_view extension, std::string_view failureText);
    void refuse(std::string_view failureText);
    void finish(std::string_view failureText);
    void write(std::string_view bytes);
    // write(bytes), taking the buffer over when the stretch holds no bytes yet; leaves it empty.
    void writeTaking(std::string& bytes);

    RecordedStretch& stretch() { return stretch_; }
    const RecordedStretch& stretch() const { return stretch_; }

protected:
    // The current stretch is full. The default keeps recording into it.
    virtual void stretchFull() {}

private:
    void add(RecordedEvent::Kind kind, std::initializer_list<std::string_view> texts, double value = 0.0);
    RecordedStretch stretch_;
};

// The platform a recorded conversion sees. Conversions never ask questions nor open popups of
// their own (naming the output is the playback's part), so those answer "no" and "cancel".
class RecordingPlatform : public Platform {
public:
    // date: what dateText() gives, taken from the real platform beforehand.
    RecordingPlatform(ConversionRecorder& recorder, std::string date) : recorder_(recorder), date_(std::move(date)) {}

    void messagePopup(std::string_view title, std::string_view text) override { recorder_.message(title, text); }
    bool confirmPopup(std::string_view, std::string_view) override { return false; }
    std::optional<std::string> fileSelectPopup(const FileSelectOptions&) override { return std::nullopt; }
    std::optional<std::vector<std::string>> multiFileSelectPopup(const FileSelectOptions&) override {
        return std::nullopt;
    }
    std::optional<std::string> dirSelectPopup(const DirSelectOptions&) override { return std::nullopt; }
    std::unique_ptr<ProgressDisplay> openProgressDisplay() override { return nullptr; }
    void setWaitCursor(bool on) override { recorder_.waitCursor(on); }
    std::string dateText() override { return date_; }

private:
    ConversionRecorder& recorder_;
    std::string date_;
};

// The progress indicator a recorded conversion sees. The file fields and the counter belong to
// the batch run, which shows them itself.
class RecordingProgress : public ProgressDisplay {
public:
    // showsAnything: whether the display the record is played back on shows anything.
    explicit RecordingProgress(ConversionRecorder& recorder, bool showsAnything = true)
        : recorder_(recorder), showsAnything_(showsAnything) {}
    void setLabel(std::string_view label) override { recorder_.label(label); }
    void setValue(double percent) override { recorder_.value(percent); }
    void setInputFile(std::string_view) override {}
    void setOutputFile(std::string_view) override {}
    void setFileCounter(std::string_view) override {}
    bool showsAnything() const override { return showsAnything_; }

private:
    ConversionRecorder& recorder_;
    bool showsAnything_;
};

// The output target of a recorded conversion: the file is taken to be created and completed; the
// playback finds out whether it really is. Its bytes go to a file without a name when the file
// system keeps such files (written beside the output, in parallel with the other conversions,
// and named by the playback), or else into the record.
class RecordingOutputTarget : public OutputTarget {
public:
    // fileSystem: where files without a name are made; null: every file is composed in the record.
    RecordingOutputTarget(ConversionRecorder& recorder, FileSystem* fileSystem)
        : recorder_(recorder), fileSystem_(fileSystem), file_(recorder) {}

    bool open(std::string_view base, std::string_view extension, std::string_view failureText) override;
    OutputFile& file() override { return written_ ? *written_ : file_; }
    void refuse(std::string_view failureText) override {
        written_ = nullptr;
        recorder_.refuse(failureText);
    }
    bool finish(std::string_view failureText) override {
        written_ = nullptr;
        recorder_.finish(failureText);
        return true;
    }

private:
    class RecordedFile : public OutputFile {
    public:
        explicit RecordedFile(ConversionRecorder& recorder) : recorder_(recorder) {}
        void write(std::string_view bytes) override { recorder_.write(bytes); }
        void writeTaking(std::string& bytes) override { recorder_.writeTaking(bytes); }
        bool commit() override { return true; }

    private:
        ConversionRecorder& recorder_;
    };
    ConversionRecorder& recorder_;
    FileSystem* fileSystem_;
    RecordedFile file_;
    OutputFile* written_ = nullptr;  // the open file without a name, owned by the record
};

// Plays a record back on the caller's thread, stretch after stretch, with the real platform and
// progress display; the output goes to base + its extension through the platform's file system.
class ConversionPlayback {
public:
    // inputs: the batch's input files, which no output replaces (null: none).
    ConversionPlayback(std::string base, Platform& platform, ProgressDisplay* progress,
                       const std::vector<FileStatus>* inputs = nullptr)
        : base_(std::move(base)), platform_(platform), progress_(progress), target_(platform, progress, inputs) {}

    // Plays one stretch. False once the output file could not be created: the conversion would
    // have stopped there, so the rest of its record is of no use.
    // written: the stretch's output file, written without a name (see RecordedStretch).
    bool play(const RecordedStretch& stretch, std::unique_ptr<PendingOutputFile> written = nullptr);
    // Whether the output file was completed.
    bool written() const { return written_; }

private:
    std::string base_;
    Platform& platform_;
    ProgressDisplay* progress_;
    DirectOutputTarget target_;
    bool stopped_ = false;
    bool written_ = false;
};

}  // namespace s2t
