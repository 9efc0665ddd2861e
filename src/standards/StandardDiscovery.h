// The standards a program folder offers: every standard file in its Standards/ folder that has a
// name line, as the standards window lists them.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace s2t {

struct StandardEntry {
    std::string name;  // the standard's name (the list item's label)
    std::string path;  // "<program folder>/Standards/<file name>" (the list item's value)
};

// The name of the standard file at path (its first name line); nothing when the file cannot be
// opened or has no name line.
std::optional<std::string> standardNameIn(const std::string& path);

// The name a calibration from the standard file at path is recorded under: its name line, else the
// file's name without its extension.
std::string standardNameOrFileName(const std::string& path);

// Adds the standard file fileName of programFolder/Standards at the top of list (index 0) when
// the file can be opened and has a name line (the first one gives the name). Files that cannot
// be opened or have no name line are left out silently.
void AddFileToList(std::vector<StandardEntry>& list, const std::string& programFolder, const std::string& fileName);

// The file names of the standard files in programFolder/Standards, in enumeration order: regular
// files (symbolic links to them included) whose name ends in ".std" in any letter case, as the
// laboratory's Windows folders hold them, without hidden files (names starting with "."),
// sorted by name byte by byte so that the listing never depends on the file system.
std::vector<std::string> enumerateStandardFiles(const std::string& programFolder);

// The standards list of the standards window: each enumerated file in turn is put at the top, so
// the list shows the standards in the reverse of the enumeration order (names sorted
// descending). A missing Standards folder gives an empty list.
std::vector<StandardEntry> checkForStandards(const std::string& programFolder);

// The first entry of list whose name equals name, ASCII letter case ignored; null if none.
const StandardEntry* findStandardByName(const std::vector<StandardEntry>& list, const std::string& name);

// The standard file an argument names: a standard of the program folder by its name (letter case
// ignored), else the path of a file. Empty, with refusal set, when it is neither.
std::string standardFileFor(const std::string& argument, const std::string& programFolder, std::string& refusal);

}  // namespace s2t
