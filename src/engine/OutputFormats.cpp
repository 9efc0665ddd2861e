#include "engine/OutputFormats.h"

#include <array>

#include "engine/Writers.h"

namespace s2t {
namespace {

constexpr std::array<OutputFormatInfo, 9> kFormats = {{
    {kTextOutput, "Tab Delimited Text File", "txt", "*.txt", "text", writeTextFileTTheta, true},
    {kXfitOutput, "XFIT File", "dat", "*.dat", "xfit", writeXFITFile},
    {kCpiOutput, "CPI File", "cpi", "*.cpi", "cpi", writeCPIFile},
    {kLhpmOutput, "LHPM File", "dat", "*.dat", "lhpm", writeLhpmFile},
    {kGufiOutput, "Binary GUFI File", "guf", "*.guf", "gufi", writeGUFIFile},
    {kXyOutput, "XY File (2-theta, count)", "xy", "*.xy", "xy", writeXYFile, true, true},
    {kXyeOutput, "XYE File (2-theta, count, uncertainty)", "xye", "*.xye", "xye", writeXYEFile, true, true},
    {kFxyeOutput, "GSAS FXYE File", "fxye", "*.fxye", "fxye", writeFXYEFile, true, true},
    {kPdcifOutput, "Powder CIF File", "cif", "*.cif", "pdcif", writePdCIFFile, true, true},
}};

}  // namespace

std::span<const OutputFormatInfo> outputFormats() { return kFormats; }

std::string commandLineNames(bool (*fits)(const OutputFormatInfo&)) {
    std::string names;
    for (const auto& format : kFormats) {
        if (fits && !fits(format)) continue;
        if (!names.empty()) names += ", ";
        names += format.commandLineName;
    }
    return names;
}

const OutputFormatInfo* findOutputFormat(std::int32_t value) {
    for (const auto& format : kFormats)
        if (format.value == value) return &format;
    return nullptr;
}

}  // namespace s2t
