#include "engine/InputFormats.h"

#include <array>

#include "engine/ScanReaders.h"
#include "options/LineText.h"

namespace s2t {
namespace {

constexpr InputFormatInfo kUnknown = {kOtherFileType, kOtherFileType, "unknown", "unknown", "", nullptr,
                                      InputAxis::Channels, readMCAFile};

constexpr std::array<InputFormatInfo, 3> kFormats = {{
    {kChnFileType, kChnFileType, "chn", "MCA channel file", "chn", nullptr, InputAxis::Channels, readMCAFile},
    {kGufiFileType, kGufiFileType, "gufi", "GUFI file", "guf", nullptr, InputAxis::Angles, readGUFIFile},
    kUnknown,
}};

// The text after the last dot; empty without one. A dot in a directory name leaves a separator
// in the text, which matches no extension.
std::string_view extensionOf(std::string_view path) {
    const auto dot = path.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1);
}

bool goesBy(const InputFormatInfo& format, std::string_view extension) {
    std::string_view rest = format.extensions;
    while (!rest.empty()) {
        const auto space = rest.find(' ');
        const std::string_view word = rest.substr(0, space);
        if (!word.empty() && strCmp(word, extension) == 0) return true;
        if (space == std::string_view::npos) break;
        rest.remove_prefix(space + 1);
    }
    return false;
}

}  // namespace

std::span<const InputFormatInfo> inputFormats() { return kFormats; }

const InputFormatInfo& findInputFormat(std::int32_t fileType) {
    for (const auto& format : kFormats)
        if (format.fileType == fileType) return format;
    return kFormats.back();
}

const InputFormatInfo* findInputFormatByName(std::string_view name) {
    for (const auto& format : kFormats)
        if (strCmp(format.name, name) == 0) return &format;
    return nullptr;
}

const InputFormatInfo& inputFormatForPath(const std::string& path) {
    const std::string_view extension = extensionOf(path);
    if (extension.empty()) return kFormats.back();
    for (const auto& format : kFormats)
        if (!format.recognises && goesBy(format, extension)) return format;
    for (const auto& format : kFormats)
        if (format.recognises && goesBy(format, extension) && format.recognises(path)) return format;
    return kFormats.back();
}

std::string inputFormatNames() {
    std::string names;
    const std::size_t count = kFormats.size() - 1;  // the unknown kind last, not named
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) names += i + 1 == count ? " or " : ", ";
        names += kFormats[i].name;
    }
    return names;
}

}  // namespace s2t
