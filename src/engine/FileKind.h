// The kind of an input file, as the file list keeps it, and the kind the main panel's rules see.
#pragma once

#include <cstdint>
#include <string_view>

namespace s2t {

// The input format of the file (see InputFormats.h): 5 for a name ending in ".chn", 4 for ".guf"
// (letter case ignored), -1 for anything not recognised (read as a channel file).
std::int32_t getFileType(std::string_view path);

// The kind the main panel's rules see for a file of that format: 5 channels, 4 GUFI, -1 unknown.
std::int32_t panelKindOf(std::int32_t fileType);

}  // namespace s2t
