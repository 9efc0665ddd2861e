// Where `scan2theta convert` gets its inputs besides the command line: a list file
// (--files-from, one path per line or NUL-separated with -0, "-" for standard input) and a scan
// read from standard input (the input "-"). Done before the plan is checked, since the plan needs
// every input's kind.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ConvertPlan.h"
#include "engine/InputFormats.h"

namespace s2t::cli {

// Appends the paths of --files-from to the inputs, then, when one input is "-", reads standard
// input whole and records the format of the scan it holds (--input-format, else its content).
// The first rule broken comes back as a usage error.
std::optional<UsageError> gatherInputs(ConvertArguments& arguments);

// The paths of a list: split at line ends (CR LF or LF) or at NUL bytes, empty entries left out.
std::vector<std::string> splitFileList(std::string_view text, bool nulSeparated);

// The input format of a scan by its bytes: a channel file by its signature FF FF, the formats the
// input table recognises by content alone, then a GUFI file by a size that fits the point count of
// its header; null when none fits.
const InputFormatInfo* recogniseScanContent(std::string_view bytes);

}  // namespace s2t::cli
