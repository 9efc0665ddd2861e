#include "PointsFile.h"

#include <fstream>
#include <string_view>

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

}  // namespace

PointsFileResult readPointsFile(const std::string& path, std::vector<CalibrationPoint>& points,
                                std::string& problem) {
    points.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return PointsFileResult::CannotOpen;
    std::string line;
    for (long number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto words = wordsOf(line);
        if (words.empty() || words[0][0] == '#') continue;
        CalibrationPoint point;
        if (words.size() != 2 || !parseWholeDouble(words[0], point.channel) ||
            !parseWholeDouble(words[1], point.twoTheta)) {
            problem = path + " line " + std::to_string(number) +
                      ": expected \"channel 2-theta\" (two finite numbers), got \"" + line + "\"";
            return PointsFileResult::Malformed;
        }
        points.push_back(point);
    }
    if (in.bad()) return PointsFileResult::CannotOpen;
    return PointsFileResult::Read;
}

}  // namespace s2t::cli
