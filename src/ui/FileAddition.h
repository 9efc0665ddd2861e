// What an addition to the file list does with each chosen or dropped path: the files the list
// takes, and those it refuses with a word to the user (folders, and files of another kind than
// the list's first). Paths already listed are left out without one: they are there.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/BatchRun.h"

namespace s2t::ui {

struct FileAddition {
    std::vector<BatchInput> added;
    std::vector<std::string> folders;
    std::vector<std::string> otherKind;
};

// Sorts the selection by the list's rules; isFolder tells a folder from a file.
FileAddition planAddition(const std::vector<BatchInput>& list, const std::vector<std::string>& selected,
                          const std::function<bool(const std::string&)>& isFolder);

// The message that names the refused paths; empty when none was refused.
std::string additionRefusalText(const FileAddition& addition);

}  // namespace s2t::ui
