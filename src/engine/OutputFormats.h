// The one table of output formats: value, label, extension, file popup pattern, command-line
// name and writer. Adding a format touches this table and one writer file pair.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/ConversionRecords.h"
#include "engine/Session.h"

namespace s2t {

// Writes one file; reports its own failures. Returns whether a file was written.
using WriterFunction = bool (*)(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform);

struct OutputFormatInfo {
    std::int32_t value;
    std::string_view label;            // as the main panel shows it
    std::string_view extension;        // without the dot
    std::string_view pattern;          // default pattern of the output file popup
    std::string_view commandLineName;  // --format value
    WriterFunction writer;             // the 2-theta writer of the format
    // Whether the format can hold each point at its own 2-theta; the others need a constant step.
    bool constantStepOptional = false;
    // Whether the format carries uncertainties and the file's metadata, and can give counts per
    // second.
    bool annotated = false;
};

std::span<const OutputFormatInfo> outputFormats();

// The --format names of the formats that fit (null: every format), in the table's order, joined
// by ", ".
std::string commandLineNames(bool (*fits)(const OutputFormatInfo&) = nullptr);

// The format with that value; null for a value outside the table.
const OutputFormatInfo* findOutputFormat(std::int32_t value);

}  // namespace s2t
