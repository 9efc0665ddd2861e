#include "engine/RecordedConversion.h"

#include "engine/BatchRun.h"

namespace s2t {

bool ConversionRecorder::open(std::string_view base, std::string_view extension, std::string_view failureText) {
    add(RecordedEvent::Kind::Open, 0.0, extension, failureText);
    record_.output = files_ ? files_->createPendingFile(addExtension(base, extension)) : nullptr;
    // Without a file the writer stops here, as after a failed creation; the caller's thread then
    // converts the file again and meets whatever the real creation meets.
    record_.convertAgain = !record_.output;
    return !record_.convertAgain;
}

bool playBack(const std::vector<RecordedEvent>& events, std::unique_ptr<PendingOutputFile> output,
              const std::string& base, Platform& platform, ProgressDisplay* progress, BatchFiles* batch) {
    DirectOutputTarget target(platform, progress, batch);
    bool written = false;
    for (const RecordedEvent& event : events) {
        switch (event.kind) {
        case RecordedEvent::Kind::Message: platform.messagePopup(event.text, event.detail); break;
        case RecordedEvent::Kind::WaitCursor: platform.setWaitCursor(event.value != 0.0); break;
        case RecordedEvent::Kind::Label:
            if (progress) progress->setLabel(event.text);
            break;
        case RecordedEvent::Kind::Value:
            if (progress) progress->setValue(event.value);
            break;
        case RecordedEvent::Kind::Open:
            // The conversion would have stopped here: the rest of its record is of no use.
            if (!target.openWith(std::move(output), base, event.text, event.detail)) return false;
            break;
        case RecordedEvent::Kind::Refuse: target.refuse(event.text); break;
        case RecordedEvent::Kind::Finish: written = target.finish(event.text); break;
        }
    }
    return written;
}

}  // namespace s2t
