// What the fuzz targets share: the fuzzed bytes as a file the readers can open by path, a
// decoder for the option bytes that lead some inputs, and a check that stops the run with a
// finding when a property of the program does not hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/ConversionRecords.h"
#include "engine/ReadAnyFile.h"
#include "engine/ScanReaders.h"

namespace s2t::fuzz {

// A file held in memory (memfd) and reached through /proc/self/fd, rewritten for every input:
// no disk traffic, and the readers open it like any other path.
class InputFile {
public:
    InputFile();
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    void assign(const std::uint8_t* data, std::size_t size);
    const std::string& path() const { return path_; }

private:
    int fd_ = -1;
    std::string path_;
};

// The one input file of this process.
InputFile& inputFile();

// Reports a broken property and aborts, so that libFuzzer keeps the input as a finding.
[[noreturn]] void fail(const char* what, const char* file, int line);

#define S2T_FUZZ_CHECK(condition)                                            \
    do {                                                                     \
        if (!(condition)) ::s2t::fuzz::fail(#condition, __FILE__, __LINE__); \
    } while (0)

// Takes fixed-size values off the front of the input; past the end every value reads as zero.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t byte() {
        if (at_ >= size_) return 0;
        return data_[at_++];
    }
    std::uint16_t uint16() { return static_cast<std::uint16_t>(byte() | (byte() << 8)); }
    std::uint32_t uint32() {
        std::uint32_t low = uint16();
        return low | (static_cast<std::uint32_t>(uint16()) << 16);
    }
    float float32() {
        const std::uint32_t bits = uint32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    std::uint64_t uint64() {
        std::uint64_t low = uint32();
        return low | (static_cast<std::uint64_t>(uint32()) << 32);
    }
    // A finite double (any of them, as an option file or a panel may give); anything else reads as
    // fallback.
    double finite(double fallback = 0.0);
    std::string text(std::size_t length) {
        std::string out;
        for (std::size_t i = 0; i < length; ++i) out.push_back(static_cast<char>(byte()));
        return out;
    }
    // What is left after the values taken so far.
    const std::uint8_t* rest() const { return data_ + (at_ < size_ ? at_ : size_); }
    std::size_t restSize() const { return at_ < size_ ? size_ - at_ : 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// How many line feeds the bytes hold: an upper bound for the lines any text reader can take.
std::size_t lineFeeds(const std::uint8_t* data, std::size_t size);

// The input file read as a batch reads a file of this kind (readAsFormat), with the built-in
// calibration, its spline computed as a batch does it. A failure must say why in one message, a
// success say nothing.
ReadResult runReader(std::int32_t fileType, Conversion conversion);

// Whether text holds "nan" or "inf" anywhere: a number that is no number never belongs in a
// data file.
bool holdsNonFiniteText(std::string_view text);

}  // namespace s2t::fuzz
