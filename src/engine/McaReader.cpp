// MCA channel files: a 32-byte header (signature -1, first channel at 28, channel count at 30)
// followed by one little-endian 32-bit count per channel. Bytes after the last count (the
// format's trailer records) are not read.
#include <vector>

#include "engine/BinaryInput.h"
#include "engine/ReaderMessages.h"
#include "engine/ScanMapping.h"
#include "engine/ScanReaders.h"

namespace s2t {
namespace {

constexpr long long kHeaderSize = 32;

}  // namespace

int readMCAFile(const ConversionRequest& request, Scan& scan, const CalibrationState& calibration,
                ConversionSettings& settings, Platform& platform) {
    const std::string& path = request.inputFile;
    const bool straightLine = mapsWithStraightLine(request.conversion);
    if (!calibrationCanMap(calibration, straightLine, path, platform)) return -1;
    BinaryInput input(path);
    if (!input.isOpen()) {
        reportUnopenableInput(path, platform);
        return -1;
    }
    ChnHeader header;
    const std::size_t got = input.read(header.bytes.data(), header.bytes.size());
    if (got < 2 || header.signature() != -1) {
        platform.messagePopup("Error", "The input file \"" + path + "\" \nwasn't a CHN file.");
        return -1;
    }
    const int channels = header.numChannels();
    // A short header, a negative count, or fewer count bytes than announced: nothing is
    // allocated for counts the file cannot hold.
    if (got < header.bytes.size() || channels < 0 ||
        (input.size() >= 0 && input.size() < kHeaderSize + 4LL * channels)) {
        reportCorruptedInput(path, platform);
        return -1;
    }
    std::vector<unsigned char> counts(4 * static_cast<std::size_t>(channels));
    if (input.read(counts.data(), counts.size()) != counts.size()) {
        reportCorruptedInput(path, platform);
        return -1;
    }

    std::vector<ScanPoint> points(static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i].count = static_cast<double>(int32At(&counts[4 * i]));
    if (!mapScanToTwoTheta(points, 0.0, 1.0, calibration, straightLine, path, platform,
                               request.angleMemo)) return -1;

    scan.points = std::move(points);
    scan.ownAngles = false;
    scan.chnHeader = header;
    settings.startAngle = header.firstChannel();
    settings.inputStep = 1.0;
    return 0;
}

}  // namespace s2t
