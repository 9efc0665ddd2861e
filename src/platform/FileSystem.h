// Output files that never lose data: every file is written under a temporary name beside its
// target and renamed over the target only once it is complete and every write succeeded. A
// process killed in the middle, a full disk or a device error leave the old file as it was and no
// partial file under the output name.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace s2t {

// What stands under a path.
struct FileStatus {
    enum class Kind { None, RegularFile, SymbolicLink, Other };  // Other: folder, device, pipe, socket
    Kind kind = Kind::None;
    bool identified = false;  // device and inode are known
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    // Whether both name one file (a hard link of it included), whatever the paths say.
    bool sameFileAs(const FileStatus& other) const {
        return identified && other.identified && device == other.device && inode == other.inode;
    }
};

// What may become of a file that stands under an output's name when the output is published.
enum class ExistingFile {
    Replace,  // the user agreed to replace it
    Keep,     // the name was found free: a file that takes it meanwhile stays, see nameTaken()
};

// One file being written. Bytes go to a temporary file; commit() publishes it under the target
// name. Destroying an uncommitted file removes the temporary file.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    // Appends bytes. A failure is remembered and reported by commit().
    virtual void write(std::string_view bytes) = 0;
    // Appends the bytes held in `bytes` and leaves it empty; a file that keeps bytes in memory may
    // take the buffer over whole instead of copying it.
    virtual void writeTaking(std::string& bytes) {
        write(bytes);
        bytes.clear();
    }
    // Completes the file. Returns false (and leaves the target untouched) when any write, the
    // close or the rename failed.
    virtual bool commit() = 0;
    // After a failed commit(): whether the only reason was that another file took the target's
    // name after it was found free (ExistingFile::Keep). The file is still whole and may be given
    // another name (PendingOutputFile::name) and committed again.
    virtual bool nameTaken() const { return false; }
    // After nameTaken(): makes path, found free, the target instead (ExistingFile::Keep); commit()
    // then tries again. False when the file cannot go there.
    virtual bool renameTo(const std::string& path) {
        static_cast<void>(path);
        return false;
    }
};

// A file written before its name is chosen: a batch's workers write each file while the
// caller's thread may still be asking under which name it goes. name() gives it its target, in
// the folder it was created for, once that is known; commit() then publishes it there.
class PendingOutputFile : public OutputFile {
public:
    // Makes path the target. False when nothing may be written under path (an existing file the
    // user may not write, anything but a regular file or a symbolic link, another folder): the
    // file is then of no use.
    virtual bool name(const std::string& path, ExistingFile existing) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Starts writing path; null when the file cannot be created (no directory, no permission).
    virtual std::unique_ptr<OutputFile> createOutputFile(const std::string& path, ExistingFile existing) = 0;
    // Starts writing a file whose target is chosen later, in the folder of nearPath (a name it may
    // get). Null when the file cannot be created, or when this file system keeps no file without
    // a name (a batch then converts that file on the caller's thread).
    virtual std::unique_ptr<PendingOutputFile> createPendingFile(const std::string& nearPath) {
        static_cast<void>(nearPath);
        return nullptr;
    }
    // Whether anything (file, directory, unreadable file) already stands under path.
    virtual bool exists(const std::string& path) = 0;
    // What stands under path: the link itself, or with followLinks what it leads to. A file system
    // that cannot tell files apart says only whether something is there, as a regular file.
    virtual FileStatus statusOf(const std::string& path, bool followLinks) {
        static_cast<void>(followLinks);
        FileStatus status;
        if (exists(path)) status.kind = FileStatus::Kind::RegularFile;
        return status;
    }
};

// The real file system (POSIX). A new file is written without a name (O_TMPFILE, where the file
// system has it) and linked under its name once complete: nothing is left behind if the process
// dies, and a name another run took meanwhile is never replaced (the link fails instead). A file
// that replaces another, and every file where O_TMPFILE is missing, gets a temporary name
// ".<name>.partial-XXXXXX" (the name cut short where that would pass the longest file name),
// locked (flock) for as long as it has that name, and is renamed over the target; a replaced
// file's owner, group, permission bits and extended attributes (its access list) go to its
// successor where the process may set them.
// Only regular files and symbolic links are ever replaced. A run that is killed leaves its temporary file behind; the
// next output file created in that folder removes every such file that no live run holds, once per folder and file
// system object.
class RealFileSystem : public FileSystem {
public:
    std::unique_ptr<OutputFile> createOutputFile(const std::string& path, ExistingFile existing) override;
    std::unique_ptr<PendingOutputFile> createPendingFile(const std::string& nearPath) override;
    bool exists(const std::string& path) override;
    FileStatus statusOf(const std::string& path, bool followLinks) override;

private:
    static mode_t readUmask();
    static bool canNameUnnamedFiles();
    void removeLeftovers(const std::string& directory);

    // The process's file creation mask, read once: this program never changes it.
    const mode_t umask_ = readUmask();
    // Whether a file without a name (O_TMPFILE) can be given one: through /proc/self/fd.
    const bool namesUnnamedFiles_ = canNameUnnamedFiles();
    std::mutex mutex_;
    std::set<std::string> cleanedDirectories_;
};

// Buffered text output over an OutputFile: writers append formatted text here and the buffer goes
// to the file in large blocks, never one system call per value.
class OutputStream {
public:
    explicit OutputStream(OutputFile& file) : file_(file) { buffer_.reserve(kBlock + 256); }
    OutputStream(const OutputStream&) = delete;
    OutputStream& operator=(const OutputStream&) = delete;

    std::string& buffer() { return buffer_; }
    void append(std::string_view text) {
        buffer_.append(text);
        flushIfFull();
    }
    void flushIfFull() {
        if (buffer_.size() >= kBlock) flush();
    }
    void flush() {
        if (!buffer_.empty()) file_.writeTaking(buffer_);
        buffer_.clear();
    }
    // Flushes and completes the file; false when anything failed.
    bool commit() {
        flush();
        return file_.commit();
    }

private:
    static constexpr std::size_t kBlock = 1 << 16;
    OutputFile& file_;
    std::string buffer_;
};

}  // namespace s2t
