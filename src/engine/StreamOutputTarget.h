// An output that goes to an open descriptor instead of a named file: `convert -o -` writes its one
// file to standard output. The file's bytes are held until the writer finishes, so a file that
// is refused (values that are not finite) or fails half-way sends nothing at all: the reader of
// the pipe gets a whole file or none, as a named output never shows a partial file.
#pragma once

#include <string>

#include "engine/OutputTarget.h"

namespace s2t {

class StreamOutputTarget : public OutputTarget {
public:
    // name: how messages call the stream ("standard output").
    StreamOutputTarget(int descriptor, std::string name, Platform& platform, ProgressDisplay* progress)
            : descriptor_(descriptor), name_(std::move(name)), platform_(platform), progress_(progress) {}

    bool open(std::string_view base, std::string_view extension, std::string_view failureText) override;
    OutputFile& file() override { return file_; }
    void refuse(std::string_view failureText) override;
    bool finish(std::string_view failureText) override;

private:
    class HeldBytes : public OutputFile {
    public:
        void write(std::string_view bytes) override { bytes_.append(bytes); }
        void writeTaking(std::string& bytes) override {
            if (bytes_.empty())
                bytes_.swap(bytes);
            else
                bytes_.append(bytes);
            bytes.clear();
        }
        bool commit() override { return true; }
        std::string bytes_;
    };

    int descriptor_;
    std::string name_;
    Platform& platform_;
    ProgressDisplay* progress_;
    HeldBytes file_;
};

// Writes every byte to the descriptor, retrying after interruptions and short writes; false on
// any error (a closed pipe, a full disk).
bool writeAll(int descriptor, std::string_view bytes);

}  // namespace s2t
