#include "engine/FileKind.h"

#include <string>

#include "engine/InputFormats.h"

namespace s2t {

std::int32_t getFileType(std::string_view path) { return inputFormatForPath(std::string(path)).fileType; }

std::int32_t panelKindOf(std::int32_t fileType) { return findInputFormat(fileType).panelKind; }

}  // namespace s2t
