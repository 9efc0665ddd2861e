// The services that the batch run, the readers, the writers and the panels need from their
// surroundings: popups, file and directory choice, progress display, wait cursor, today's date,
// and the file system. The same core code runs under the desktop program (Qt implementation),
// the command line (ConsolePlatform) and the tests (ScriptedPlatform), and never blocks on a
// person by itself.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace s2t {

// Arguments of a single or multiple file selection popup. Every popup may be cancelled.
struct FileSelectOptions {
    std::string defaultDirectory;
    std::string defaultFileSpec;  // e.g. "*.chn"
    std::string filterList;       // e.g. "*.chn; *.guf"
    std::string title;
    bool restrictExtension = false;  // only files that match filterList may be chosen
    bool allowMakeDirectory = false;
    bool forSaving = false;  // the chosen file may not exist yet
};

// A file popup that opens in directory and lists the files matching pattern ("*.pre"), which
// is also the only pattern offered.
inline FileSelectOptions filePopup(std::string directory, std::string pattern, std::string title,
                                   bool restrictExtension) {
    FileSelectOptions options;
    options.defaultDirectory = std::move(directory);
    options.defaultFileSpec = pattern;
    options.filterList = std::move(pattern);
    options.title = std::move(title);
    options.restrictExtension = restrictExtension;
    return options;
}

// Arguments of a directory selection popup. Every popup may be cancelled.
struct DirSelectOptions {
    std::string defaultDirectory;
    std::string title;
    bool allowMakeDirectory = true;
};

// The batch run's progress panel: an indicator from 0 to 100 with its label, the input and output
// file fields, and the "File %d of %d" counter.
class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    virtual void setLabel(std::string_view label) = 0;
    // A value equal to the one set just before shows nothing new: callers may leave repeats out.
    virtual void setValue(double percent) = 0;
    virtual void setInputFile(std::string_view path) = 0;
    virtual void setOutputFile(std::string_view path) = 0;
    virtual void setFileCounter(std::string_view text) = 0;
    // False for a display that shows nothing at all: a batch then neither computes nor records
    // what it would show there.
    virtual bool showsAnything() const { return true; }
    // Whether the user asked the batch to stop. Asked between files only, so that the file being
    // written is always finished.
    virtual bool stopRequested() { return false; }
};

class Platform {
public:
    Platform();
    virtual ~Platform();
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    // A modal message under a short title ("File Error", "Error", ...).
    virtual void messagePopup(std::string_view title, std::string_view text) = 0;
    // A yes/no question; true means yes.
    virtual bool confirmPopup(std::string_view title, std::string_view text) = 0;
    // One file; nullopt when cancelled.
    virtual std::optional<std::string> fileSelectPopup(const FileSelectOptions& options) = 0;
    // Several files, in the order chosen; nullopt when cancelled.
    virtual std::optional<std::vector<std::string>> multiFileSelectPopup(const FileSelectOptions& options) = 0;
    // One directory; nullopt when cancelled.
    virtual std::optional<std::string> dirSelectPopup(const DirSelectOptions& options) = 0;
    // The progress panel of a batch; null when it cannot be shown.
    virtual std::unique_ptr<ProgressDisplay> openProgressDisplay() = 0;
    virtual void setWaitCursor(bool on) = 0;
    // Today's date as the CPI header carries it (YYYY-MM-DD unless overridden).
    virtual std::string dateText();

    // Where output files are created and existing names are probed. Tests swap in a file system
    // that fails on purpose.
    FileSystem& fileSystem() { return *fileSystem_; }
    void setFileSystem(std::shared_ptr<FileSystem> fileSystem);

private:
    std::shared_ptr<FileSystem> fileSystem_;
};

// Today's local date as YYYY-MM-DD.
std::string todayIsoDate();

}  // namespace s2t
