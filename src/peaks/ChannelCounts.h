// The counts of a scan in channel order, as the calibration from a standard scan needs them: a
// channel file's counts from its first channel, a GUFI file's counts by point index.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace s2t::peaks {

// Reads path with the reader a conversion would use (GUFI by its extension, anything else as a
// channel file). A file that cannot be read is reported on platform; false then.
bool readChannelCounts(const std::string& path, std::vector<double>& counts, Platform& platform);

}  // namespace s2t::peaks
