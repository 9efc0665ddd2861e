#include "engine/OutputFormats.h"

#include <array>

#include "engine/Writers.h"

namespace s2t {
namespace {

constexpr std::array<OutputFormatInfo, 5> kFormats = {{
    {kTextOutput, "Tab Delimited Text File", "txt", "*.txt", "text", writeTextFileTTheta},
    {kXfitOutput, "XFIT File", "dat", "*.dat", "xfit", writeXFITFile},
    {kCpiOutput, "CPI File", "cpi", "*.cpi", "cpi", writeCPIFile},
    {kLhpmOutput, "LHPM File", "dat", "*.dat", "lhpm", writeLHMPFile},
    {kGufiOutput, "Binary GUFI File", "guf", "*.guf", "gufi", writeGUFIFile},
}};

}  // namespace

std::span<const OutputFormatInfo> outputFormats() { return kFormats; }

const OutputFormatInfo* findOutputFormat(std::int32_t value) {
    for (const auto& format : kFormats)
        if (format.value == value) return &format;
    return nullptr;
}

}  // namespace s2t
