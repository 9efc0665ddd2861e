// A check of a Canberra CNF file's layout before xylib reads it. xylib's CNF reader follows the
// section offsets a file states without asking whether they point into the file: an offset of 2^31
// or more becomes a negative one, and it then reads before the file's bytes and crashes the
// program. This walks the sections as that reader does and says what would be read outside.
#pragma once

#include <string>
#include <string_view>

namespace s2t {

// Empty when every part of bytes that xylib's CNF reader reads lies inside them; else the reason.
std::string cnfLayoutProblem(std::string_view bytes);

}  // namespace s2t
