// The standard files shipped with the program, compiled in, and the program folder set up with
// them: a new program folder gets Standards/ with every shipped standard.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace s2t {

struct ShippedFile {
    std::string_view name;      // file name, e.g. "Silicon.std"
    std::string_view contents;  // the file's bytes
};

const std::vector<ShippedFile>& shippedStandards();

// Makes sure the program folder exists, and creates Standards/ in it, seeded with the shipped
// standards, when Standards/ is missing. Returns false with a reason when the folder is unusable.
bool prepareProgramFolder(const std::string& folder, std::string& error);

}  // namespace s2t
