// The calibration points file of "calibration fit": one point per line, channel then 2-theta,
// separated by spaces or tabs. Empty lines and lines starting with "#" are ignored; LF and
// CR LF line ends; the last line may lack its line end.
#pragma once

#include <string>
#include <vector>

#include "calibration/CalibrationState.h"

namespace s2t::cli {

enum class PointsFileResult {
    Read,        // points holds every point, in file order
    CannotOpen,  // the file could not be read
    Malformed,   // problem names the first line that is not "channel 2-theta"
    TooLarge,    // larger than kMaxPointsFileSize: not read
};

// The largest points file read (a few million points): anything larger, such as /dev/zero, is
// refused instead of filling the memory.
inline constexpr long long kMaxPointsFileSize = 16LL << 20;

// The most characters of a bad line a message quotes.
inline constexpr std::size_t kQuotedLineLength = 80;

// Reads the points of the file at path. Both numbers of a line must be finite and nothing may
// follow them.
PointsFileResult readPointsFile(const std::string& path, std::vector<CalibrationPoint>& points, std::string& problem);

}  // namespace s2t::cli
