// Where a writer's file goes: its free name (with the "Replace?" question), its creation, its
// bytes and its completion. A writer normally writes straight to the platform's file system. The
// batch run's workers instead compose files in memory and leave naming, creation and completion
// to the caller's thread, file after file, so that questions and names come out exactly as in a
// run that converts one file after the other.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/BatchFiles.h"
#include "engine/BatchRun.h"
#include "platform/FileSystem.h"
#include "platform/Messages.h"
#include "platform/Platform.h"

namespace s2t {

// Shows "File Error" with failureText, whose "%s" stands for the path.
void reportOutputFailure(std::string_view failureText, const std::string& path, Platform& platform);

// The failure text for replacing the file under path, or an empty text when it may be replaced:
// an existing file is not replaced, even though the user agreed to it, when it is not a regular
// file (a folder, a device, a named pipe, a socket: messages::kNotRegularFailure), or when it is
// one of the batch's inputs (the same file, by device and inode, whatever its name:
// messages::kInputFailure). batch: the files no output may replace (null: none).
std::string_view replacementRefusal(const std::string& path, const BatchFiles* batch, FileSystem& files);

class OutputTarget {
public:
    virtual ~OutputTarget() = default;
    // Picks the free name for base + "." + extension, shows it on the progress panel and creates
    // the file. False after the "File Error" message (failureText) when it cannot be created: the
    // writer then stops.
    virtual bool open(std::string_view base, std::string_view extension, std::string_view failureText) = 0;
    // Where the open file's bytes go.
    virtual OutputFile& file() = 0;
    // The file is not kept: "File Error" with failureText naming it; nothing is published.
    virtual void refuse(std::string_view failureText) = 0;
    // Completes the file and sets the progress to 100. False after the "File Error" message
    // (failureText) when the file could not be completed; the old file then stays.
    virtual bool finish(std::string_view failureText) = 0;
};

// The platform's file system, at once. A name found free that another program takes before the
// file is complete is left to it: the file goes to the next free numbered name instead; so is a
// name an earlier file of the same batch was written under, without a question.
class DirectOutputTarget : public OutputTarget {
public:
    // batch: the files of the batch, which no output replaces; each completed file is noted
    // there (null: none).
    DirectOutputTarget(Platform& platform, ProgressDisplay* progress, BatchFiles* batch = nullptr)
            : platform_(platform), progress_(progress), batch_(batch) {}

    bool open(std::string_view base, std::string_view extension, std::string_view failureText) override {
        return openWith(nullptr, base, extension, failureText);
    }
    // open(), with the file already written without a name when `written` is not null: it gets
    // the free name instead of a new file being created.
    bool openWith(std::unique_ptr<PendingOutputFile> written, std::string_view base, std::string_view extension,
                  std::string_view failureText);
    OutputFile& file() override { return *file_; }
    void refuse(std::string_view failureText) override;
    bool finish(std::string_view failureText) override;

    bool isOpen() const { return file_ != nullptr; }

private:
    // After a commit that found its name taken: the next free numbered names, until one holds.
    bool commitUnderAFreeName();

    Platform& platform_;
    ProgressDisplay* progress_;
    BatchFiles* batch_;
    std::string base_;
    std::string extension_;
    ChosenName name_;
    std::string path_;
    std::unique_ptr<OutputFile> file_;
};

}  // namespace s2t
