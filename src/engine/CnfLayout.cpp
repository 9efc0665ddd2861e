#include "engine/CnfLayout.h"

#include <cstdint>

namespace s2t {
namespace {

constexpr std::int64_t kFirstSection = 112;  // the 48-byte section descriptors start here
constexpr std::int64_t kSectionSize = 48;

std::uint32_t littleEndian32(std::string_view bytes, std::int64_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[static_cast<std::size_t>(at + i)]);
    return value;
}

std::uint16_t littleEndian16(std::string_view bytes, std::int64_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[static_cast<std::size_t>(at)]) |
                                      static_cast<unsigned char>(bytes[static_cast<std::size_t>(at + 1)]) << 8);
}

// The offsets the reader takes from the descriptors, as it takes them: into a signed 32-bit int.
struct Sections {
    std::int64_t acquisition = 0, sample = 0, efficiency = 0, energy = 0, channels = 0;
};

Sections sectionsOf(std::string_view bytes) {
    Sections s;
    const auto size = static_cast<std::int64_t>(bytes.size());
    for (std::int64_t at = kFirstSection; at + kSectionSize < size; at += kSectionSize) {
        const auto offset = static_cast<std::int64_t>(static_cast<std::int32_t>(littleEndian32(bytes, at + 10)));
        const char kind = bytes[static_cast<std::size_t>(at)], b1 = bytes[static_cast<std::size_t>(at + 1)],
                   b2 = bytes[static_cast<std::size_t>(at + 2)];
        if (!((b1 == 0x20 && b2 == 0x01) || b1 == 0 || b2 == 0)) continue;
        switch (kind) {
        case 0: (s.acquisition == 0 ? s.acquisition : s.energy) = offset; break;
        case 1:
            if (s.sample == 0) s.sample = offset;
            break;
        case 2:
            if (s.efficiency == 0) s.efficiency = offset;
            break;
        case 5:
            if (s.channels == 0) s.channels = offset;
            break;
        default: break;
        }
        if (s.acquisition != 0 && s.sample != 0 && s.efficiency != 0 && s.channels != 0) break;
    }
    if (s.energy == 0) s.energy = s.acquisition;
    return s;
}

}  // namespace

std::string cnfLayoutProblem(std::string_view bytes) {
    const auto size = static_cast<std::int64_t>(bytes.size());
    const Sections s = sectionsOf(bytes);
    if (s.sample < 0 || s.efficiency < 0 || s.channels < 0 || s.acquisition < 0 || s.energy < 0)
        return "a section offset points before the start of the file";
    // The acquisition section, with the analyser's keyword and channel count after it.
    if (s.acquisition + 48 + 128 + 10 + 4 >= size) return "its acquisition section lies beyond the end of the file";
    const std::int64_t calibrationShift = littleEndian16(bytes, s.acquisition + 34);
    // The energy calibration is read 48 bytes on, where the file says, or at the section's start.
    for (std::int64_t calibration : {s.energy + 80 + calibrationShift, s.energy + 80})
        if (calibration + 48 > size) return "its energy calibration lies beyond the end of the file";
    return {};
}

}  // namespace s2t
