#include "engine/RecordedConversion.h"

#include "engine/BatchRun.h"

namespace s2t {

void ConversionRecorder::add(RecordedEvent::Kind kind, std::initializer_list<std::string_view> texts, double value) {
    RecordedEvent event;
    event.kind = kind;
    event.value = value;
    event.first = static_cast<std::uint32_t>(stretch_.texts.size());
    for (std::string_view text : texts) stretch_.texts.emplace_back(text);
    stretch_.events.push_back(event);
}

void ConversionRecorder::message(std::string_view title, std::string_view text) {
    add(RecordedEvent::Kind::Message, {title, text});
}

void ConversionRecorder::waitCursor(bool on) { add(RecordedEvent::Kind::WaitCursor, {}, on ? 1.0 : 0.0); }

void ConversionRecorder::label(std::string_view text) { add(RecordedEvent::Kind::Label, {text}); }

void ConversionRecorder::value(double percent) {
    auto& events = stretch_.events;
    auto& values = stretch_.values;
    if (events.empty() || events.back().kind != RecordedEvent::Kind::Values) {
        add(RecordedEvent::Kind::Values, {});
        events.back().first = static_cast<std::uint32_t>(values.size());
    }
    // The output pass sets the same value at every point of a tenth: one value with a count.
    if (events.back().count > 0 && values.back().percent == percent) {
        ++values.back().repeat;
        return;
    }
    values.push_back({percent, 1});
    ++events.back().count;
}

void ConversionRecorder::open(std::string_view extension, std::string_view failureText) {
    add(RecordedEvent::Kind::Open, {extension, failureText});
}

void ConversionRecorder::refuse(std::string_view failureText) { add(RecordedEvent::Kind::Refuse, {failureText}); }

void ConversionRecorder::finish(std::string_view failureText) { add(RecordedEvent::Kind::Finish, {failureText}); }

void ConversionRecorder::write(std::string_view bytes) {
    stretch_.bytes.append(bytes);
    if (stretch_.bytes.size() >= kStretchBytes) stretchFull();
}

void ConversionRecorder::writeTaking(std::string& bytes) {
    if (!stretch_.bytes.empty()) {
        write(bytes);
        bytes.clear();
        return;
    }
    stretch_.bytes.swap(bytes);
    bytes.clear();
    if (stretch_.bytes.size() >= kStretchBytes) stretchFull();
}

bool RecordingOutputTarget::open(std::string_view base, std::string_view extension, std::string_view failureText) {
    recorder_.open(extension, failureText);
    written_ = nullptr;
    if (fileSystem_) {
        std::unique_ptr<PendingOutputFile> file = fileSystem_->createPendingFile(addExtension(base, extension));
        written_ = file.get();
        // The stretch of the Open is handed over only with the conversion's end: its bytes go to
        // the file, never into the record, so no stretch fills up before.
        recorder_.stretch().written = std::move(file);
    }
    return true;
}

bool ConversionPlayback::play(const RecordedStretch& stretch, std::unique_ptr<PendingOutputFile> written) {
    if (stopped_) return false;
    bool bytesWritten = false;
    auto writeBytes = [&] {
        if (!bytesWritten && target_.isOpen() && !stretch.bytes.empty()) target_.file().write(stretch.bytes);
        bytesWritten = true;
    };
    for (const RecordedEvent& event : stretch.events) {
        const std::string* text = stretch.texts.data() + event.first;
        switch (event.kind) {
        case RecordedEvent::Kind::Message:
            platform_.messagePopup(text[0], text[1]);
            break;
        case RecordedEvent::Kind::WaitCursor:
            platform_.setWaitCursor(event.value != 0.0);
            break;
        case RecordedEvent::Kind::Label:
            if (progress_) progress_->setLabel(text[0]);
            break;
        case RecordedEvent::Kind::Values:
            if (progress_)
                for (std::uint32_t v = 0; v < event.count; ++v) {
                    const RecordedValue& value = stretch.values[event.first + v];
                    for (std::uint32_t r = 0; r < value.repeat; ++r) progress_->setValue(value.percent);
                }
            break;
        case RecordedEvent::Kind::Open:
            if (!target_.openWith(std::move(written), base_, text[0], text[1])) {
                stopped_ = true;
                return false;
            }
            break;
        case RecordedEvent::Kind::Refuse:
            target_.refuse(text[0]);
            break;
        case RecordedEvent::Kind::Finish:
            writeBytes();
            written_ = target_.finish(text[0]);
            break;
        }
    }
    writeBytes();
    return true;
}

}  // namespace s2t
