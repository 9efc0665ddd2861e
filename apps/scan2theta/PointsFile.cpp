#include "PointsFile.h"

#include <cstdio>
#include <string_view>

#include "CliMessages.h"
#include "platform/InputFile.h"
#include "platform/NumberText.h"

namespace s2t::cli {
namespace {

// The words of a line, split at spaces and tabs.
std::vector<std::string_view> wordsOf(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        i = line.find_first_not_of(" \t", i);
        if (i == std::string_view::npos) break;
        std::size_t end = line.find_first_of(" \t", i);
        if (end == std::string_view::npos) end = line.size();
        words.push_back(line.substr(i, end - i));
        i = end;
    }
    return words;
}

// The whole file, unless it is larger than kMaxPointsFileSize (by its size, or by what a pipe
// or a device gives).
PointsFileResult readWholeFile(const std::string& path, std::string& text) {
    long long size = -1;
    std::FILE* file = openInputFile(path, size);
    if (!file) return PointsFileResult::CannotOpen;
    PointsFileResult result = PointsFileResult::Read;
    if (size > kMaxPointsFileSize) result = PointsFileResult::TooLarge;
    char block[1 << 16];
    while (result == PointsFileResult::Read) {
        const std::size_t got = std::fread(block, 1, sizeof block, file);
        if (got == 0) break;
        if (static_cast<long long>(text.size() + got) > kMaxPointsFileSize)
            result = PointsFileResult::TooLarge;
        else
            text.append(block, got);
    }
    if (result == PointsFileResult::Read && std::ferror(file)) result = PointsFileResult::CannotOpen;
    std::fclose(file);
    return result;
}

// A line as a message quotes it: at most kQuotedLineLength characters, the rest marked as left out.
std::string quotedLine(const std::string& line) {
    if (line.size() <= kQuotedLineLength) return line;
    return line.substr(0, kQuotedLineLength) + "... (" + std::to_string(line.size()) + " characters)";
}

}  // namespace

PointsFileResult readPointsFile(const std::string& path, std::vector<CalibrationPoint>& points, std::string& problem) {
    points.clear();
    std::string text;
    const PointsFileResult read = readWholeFile(path, text);
    if (read != PointsFileResult::Read) return read;
    std::size_t start = 0;
    for (long number = 1; start < text.size(); ++number) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto words = wordsOf(line);
        if (words.empty() || words[0][0] == '#') continue;
        CalibrationPoint point;
        if (words.size() != 2 || !parseWholeDouble(words[0], point.channel) ||
            !parseWholeDouble(words[1], point.twoTheta)) {
            problem = messages::malformedPointsLine(path, number, quotedLine(line));
            return PointsFileResult::Malformed;
        }
        points.push_back(point);
    }
    return PointsFileResult::Read;
}

}  // namespace s2t::cli
