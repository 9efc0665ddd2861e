#include "peaks/ChannelCounts.h"

#include "engine/ConversionRecords.h"
#include "engine/ReadAnyFile.h"

namespace s2t::peaks {

bool readChannelCounts(const std::string& path, std::vector<double>& counts, Platform& platform) {
    // No angles: the channels are what is calibrated.
    const ReadResult read = readScanFile(path, kNoConversion);
    if (!showReadMessages(read, platform)) return false;
    counts.clear();
    counts.reserve(read.scan.points.size());
    for (const auto& point : read.scan.points) counts.push_back(point.count);
    return true;
}

}  // namespace s2t::peaks
