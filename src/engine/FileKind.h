// The kind of an input file, from its name.
#pragma once

#include <cstdint>
#include <string_view>

namespace s2t {

// 5 for a name ending in ".chn", 4 for ".guf" (letter case ignored), -1 for anything else.
std::int32_t getFileType(std::string_view path);

}  // namespace s2t
