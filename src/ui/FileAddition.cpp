#include "ui/FileAddition.h"

#include <algorithm>

#include "ui/MainPanelRules.h"
#include "ui/PanelMessages.h"

namespace s2t::ui {

FileAddition planAddition(const std::vector<BatchInput>& list, const std::vector<std::string>& selected,
                          const std::function<bool(const std::string&)>& isFolder) {
    FileAddition addition;
    std::vector<std::string> files;
    for (const std::string& path : selected) {
        if (!isFolder(path))
            files.push_back(path);
        else if (std::find(addition.folders.begin(), addition.folders.end(), path) == addition.folders.end())
            addition.folders.push_back(path);
    }
    addition.added = filesToAdd(list, files);
    std::vector<BatchInput> grown = list;
    grown.insert(grown.end(), addition.added.begin(), addition.added.end());
    for (const std::string& path : files)
        if (!doesFileListContain(grown, path) &&
            std::find(addition.otherKind.begin(), addition.otherKind.end(), path) == addition.otherKind.end())
            addition.otherKind.push_back(path);
    return addition;
}

std::string additionRefusalText(const FileAddition& addition) {
    std::string text;
    const auto section = [&text](const char* heading, const std::vector<std::string>& paths) {
        if (paths.empty()) return;
        if (!text.empty()) text += "\n\n";
        text += heading;
        for (const std::string& path : paths) text += "\n" + path;
    };
    section(messages::kFoldersNotListed, addition.folders);
    section(messages::kOtherKindNotListed, addition.otherKind);
    return text;
}

}  // namespace s2t::ui
