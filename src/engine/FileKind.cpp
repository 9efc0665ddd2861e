#include "engine/FileKind.h"

#include "engine/ConversionRecords.h"
#include "options/LineText.h"

namespace s2t {

std::int32_t getFileType(std::string_view path) {
    auto dot = path.rfind('.');
    if (dot == std::string_view::npos) return kOtherFileType;
    std::string_view extension = path.substr(dot + 1);
    if (strCmp(extension, "chn") == 0) return kChnFileType;
    if (strCmp(extension, "guf") == 0) return kGufiFileType;
    return kOtherFileType;
}

}  // namespace s2t
