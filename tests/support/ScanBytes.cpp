#include "support/ScanBytes.h"

#include <bit>

namespace s2t::test {
namespace {

void put16(std::string& out, std::size_t at, std::uint16_t v) {
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>(v >> 8);
}

void put32(std::string& out, std::size_t at, std::uint32_t v) {
    for (int b = 0; b < 4; ++b) out[at + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
}

}  // namespace

std::vector<std::int32_t> varyingCounts(int n) {
    std::vector<std::int32_t> counts;
    for (int i = 0; i < n; ++i) counts.push_back(100 + (i * 37) % 50);
    return counts;
}

std::string chnBytes(std::int16_t firstChannel, const std::vector<std::int32_t>& counts, const std::string& trailer,
                     int numChannels) {
    std::string out(32 + 4 * counts.size(), '\0');
    put16(out, 0, 0xFFFF);
    for (std::size_t i = 2; i < 28; ++i) out[i] = static_cast<char>(0x30 + i);  // times, dates: not read
    put16(out, 28, static_cast<std::uint16_t>(firstChannel));
    const int announced = numChannels == kCountOfValues ? static_cast<int>(counts.size()) : numChannels;
    put16(out, 30, static_cast<std::uint16_t>(announced));
    for (std::size_t i = 0; i < counts.size(); ++i) put32(out, 32 + 4 * i, static_cast<std::uint32_t>(counts[i]));
    return out + trailer;
}

std::string gufiBytes(float firstAngle, float angleStep, const std::vector<float>& counts, bool junk, int numPoints) {
    std::string out(643 + 4 * counts.size(), '\0');
    if (junk)
        for (std::size_t i = 0; i < 643; ++i) out[i] = static_cast<char>((i * 37 + 11) & 0xFF);
    put32(out, 9, std::bit_cast<std::uint32_t>(firstAngle));
    put32(out, 13, std::bit_cast<std::uint32_t>(angleStep));
    const int announced = numPoints == kCountOfValues ? static_cast<int>(counts.size()) : numPoints;
    put16(out, 17, static_cast<std::uint16_t>(announced));
    for (std::size_t i = 0; i < counts.size(); ++i) put32(out, 643 + 4 * i, std::bit_cast<std::uint32_t>(counts[i]));
    return out;
}

}  // namespace s2t::test
