#include "ConvertInputs.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "CliMessages.h"
#include "engine/InputFormats.h"
#include "engine/StreamOutputTarget.h"

namespace s2t::cli {
namespace {

using Error = std::optional<UsageError>;

constexpr long long kGufiCountsOffset = 643;

// Everything that can still be read from a descriptor; false on a read error.
bool readAll(int descriptor, std::string& bytes) {
    char block[1 << 16];
    for (;;) {
        const ssize_t got = ::read(descriptor, block, sizeof block);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.append(block, static_cast<std::size_t>(got));
    }
}

bool readListFile(const std::string& path, std::string& bytes) {
    if (path == "-") return readAll(STDIN_FILENO, bytes);
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return false;
    const bool read = readAll(descriptor, bytes);
    ::close(descriptor);
    return read;
}

// Standard input becomes a file without a name that holds what was sent, open as descriptor 0:
// the readers open kStandardInputPath as often as they need, each time from the start.
bool holdStandardInput(std::string& bytes) {
    if (!readAll(STDIN_FILENO, bytes)) return false;
    int held = ::memfd_create("scan2theta-standard-input", MFD_CLOEXEC);
    if (held < 0) {
        std::FILE* file = std::tmpfile();  // no memfd: an unnamed file in the temporary folder
        if (!file) return false;
        held = ::dup(::fileno(file));
        std::fclose(file);
        if (held < 0) return false;
    }
    const bool kept = writeAll(held, bytes) && ::dup2(held, STDIN_FILENO) == STDIN_FILENO;
    ::close(held);
    return kept;
}

}  // namespace

std::vector<std::string> splitFileList(std::string_view text, bool nulSeparated) {
    std::vector<std::string> paths;
    const char separator = nulSeparated ? '\0' : '\n';
    while (!text.empty()) {
        const auto end = text.find(separator);
        std::string_view entry = text.substr(0, end);
        if (!nulSeparated && !entry.empty() && entry.back() == '\r') entry.remove_suffix(1);
        if (!entry.empty()) paths.emplace_back(entry);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return paths;
}

const InputFormatInfo* recogniseScanContent(std::string_view bytes) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFF) return findInputFormatByName("chn");
    // The formats the table recognises by content, as it does for a file without an extension.
    const InputFormatInfo& byContent = inputFormatFor("", bytes.substr(0, kContentHeadBytes));
    if (byContent.name != "unknown") return &byContent;
    // GUFI files have no signature; their size fits the point count of the header.
    if (bytes.size() >= static_cast<std::size_t>(kGufiCountsOffset)) {
        const auto points = static_cast<std::int16_t>(byte(17) | byte(18) << 8);
        if (points >= 0 && static_cast<long long>(bytes.size()) >= kGufiCountsOffset + 4LL * points)
            return findInputFormatByName("gufi");
    }
    return nullptr;
}

std::optional<UsageError> gatherInputs(ConvertArguments& a) {
    if (a.nulSeparated && !a.filesFrom) return UsageError{"-0", messages::kNulNeedsFilesFrom};
    const auto fromStandardInput = [](const std::string& path) { return path == "-"; };
    const auto dashes = std::count_if(a.inputs.begin(), a.inputs.end(), fromStandardInput);
    if (a.filesFrom) {
        if (*a.filesFrom == "-" && dashes > 0)
            return UsageError{"--files-from", messages::kListAndInputOnStandardInput};
        std::string list;
        if (!readListFile(*a.filesFrom, list))
            return UsageError{"--files-from", messages::cannotReadList(*a.filesFrom, std::strerror(errno))};
        for (auto& path : splitFileList(list, a.nulSeparated)) a.inputs.push_back(std::move(path));
    }
    const auto allDashes = std::count_if(a.inputs.begin(), a.inputs.end(), fromStandardInput);
    if (allDashes == 0) return std::nullopt;
    if (allDashes > 1) return UsageError{"INPUT", messages::kStandardInputOnce};

    const InputFormatInfo* format = nullptr;
    if (auto error = namedInputFormat(a, format)) return error;
    std::string bytes;
    if (!holdStandardInput(bytes)) return UsageError{"INPUT", messages::cannotReadStandardInput(std::strerror(errno))};
    if (!format) format = recogniseScanContent(bytes);
    if (!format) return UsageError{"INPUT", messages::standardInputNotRecognised(inputFormatNames())};
    a.standardInputType = format->fileType;
    return std::nullopt;
}

}  // namespace s2t::cli
