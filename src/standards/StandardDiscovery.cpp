#include "standards/StandardDiscovery.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "options/LineText.h"
#include "options/TextFile.h"
#include "platform/Messages.h"
#include "standards/StandardFile.h"

namespace s2t {
namespace {

// The folder without trailing separators, so that paths never get a doubled one ("/" stays).
std::string withoutTrailingSeparator(std::string folder) {
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder;
}

std::string standardsFolder(const std::string& programFolder) {
    return withoutTrailingSeparator(programFolder) + "/Standards";
}

bool isStandardFileName(const std::string& name) {
    constexpr std::string_view extension = ".std";
    if (name.empty() || name[0] == '.' || name.size() <= extension.size()) return false;
    return strCmp(std::string_view(name).substr(name.size() - extension.size()), extension) == 0;
}

}  // namespace

std::optional<std::string> standardNameIn(const std::string& path) {
    TextFile file(path);
    if (!file.isOpen()) return std::nullopt;
    std::string line, name;
    while (file.readLine(line) != -1)
        if (getNameOfStd(line, name)) return name;
    return std::nullopt;
}

std::string standardNameOrFileName(const std::string& path) {
    if (auto name = standardNameIn(path)) return *name;
    return std::filesystem::path(path).stem().string();
}

void AddFileToList(std::vector<StandardEntry>& list, const std::string& programFolder, const std::string& fileName) {
    const std::string path = standardsFolder(programFolder) + "/" + fileName;
    if (auto name = standardNameIn(path)) list.insert(list.begin(), StandardEntry{std::move(*name), path});
}

std::vector<std::string> enumerateStandardFiles(const std::string& programFolder) {
    std::vector<std::string> names;
    std::error_code code;
    std::filesystem::directory_iterator it(standardsFolder(programFolder), code);
    for (; !code && it != std::filesystem::directory_iterator(); it.increment(code)) {
        std::error_code ignored;
        const std::string name = it->path().filename().string();
        if (isStandardFileName(name) && it->is_regular_file(ignored)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<StandardEntry> checkForStandards(const std::string& programFolder) {
    std::vector<StandardEntry> list;
    for (const std::string& fileName : enumerateStandardFiles(programFolder))
        AddFileToList(list, programFolder, fileName);
    return list;
}

const StandardEntry* findStandardByName(const std::vector<StandardEntry>& list, const std::string& name) {
    for (const StandardEntry& entry : list)
        if (strCmp(entry.name, name) == 0) return &entry;
    return nullptr;
}

std::string standardFileFor(const std::string& argument, const std::string& programFolder, std::string& refusal) {
    const auto list = checkForStandards(programFolder);
    if (const StandardEntry* entry = findStandardByName(list, argument)) return entry->path;
    std::error_code code;
    if (std::filesystem::is_regular_file(argument, code)) return argument;
    std::string names;
    for (const auto& entry : list) names += (names.empty() ? "" : ", ") + entry.name;
    refusal = messages::notAStandard(argument, programFolder + "/Standards", names);
    return {};
}

}  // namespace s2t
