// Little-endian binary input for the readers: an open file with its size, whole-block reads, and
// decoding of 16-bit integers, 32-bit integers and 32-bit floats.
#pragma once

#include <bit>
#include <cstdint>
#include <string>

namespace s2t {

class BinaryInput {
public:
    explicit BinaryInput(const std::string& path);
    ~BinaryInput();
    BinaryInput(const BinaryInput&) = delete;
    BinaryInput& operator=(const BinaryInput&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // The file's size in bytes (-1 when unknown, e.g. a pipe).
    long long size() const { return size_; }
    // Reads up to length bytes from offset; returns how many were read (0 from a pipe).
    std::size_t readAt(long long offset, void* buffer, std::size_t length);
    // Reads up to length bytes from the current position: fewer only at the end of the file.
    std::size_t read(void* buffer, std::size_t length);

private:
    int fd_ = -1;
    long long size_ = -1;
};

inline std::int16_t int16At(const unsigned char* p) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}
inline std::uint32_t uint32At(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t int32At(const unsigned char* p) { return static_cast<std::int32_t>(uint32At(p)); }
inline float float32At(const unsigned char* p) { return std::bit_cast<float>(uint32At(p)); }

}  // namespace s2t
