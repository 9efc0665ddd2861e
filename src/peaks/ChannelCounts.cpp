#include "peaks/ChannelCounts.h"

#include "engine/ConversionRecords.h"
#include "engine/InputFormats.h"

namespace s2t::peaks {

bool readChannelCounts(const std::string& path, std::vector<double>& counts, Platform& platform) {
    Scan scan;
    // No angles: the channels are what is calibrated.
    ConversionSettings settings;
    if (readScanFile(path, kNoConversion, scan, settings, platform) != 0) return false;
    counts.clear();
    counts.reserve(scan.points.size());
    for (const auto& point : scan.points) counts.push_back(point.count);
    return true;
}

}  // namespace s2t::peaks
