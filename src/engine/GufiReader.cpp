// GUFI binary scans: a 643-byte header holding the first angle (float at 9), the angle step
// (float at 13) and the point count (int16 at 17), then one little-endian float count per point.
// Every other header byte, and everything after the last count, is not read.
#include <cmath>
#include <vector>

#include "engine/BinaryInput.h"
#include "engine/ReaderMessages.h"
#include "engine/ScanMapping.h"
#include "engine/ScanReaders.h"

namespace s2t {
namespace {

constexpr long long kCountsOffset = 643;

}  // namespace

int readGUFIFile(const ConversionRequest& request, Scan& scan, const CalibrationState& calibration,
                 ConversionSettings& settings, Platform& platform) {
    const std::string& path = request.inputFile;
    const bool straightLine = mapsWithStraightLine(request.conversion);
    if (request.conversion != kFileAngles && !calibrationCanMap(calibration, straightLine, path, platform)) return -1;
    BinaryInput input(path);
    if (!input.isOpen()) {
        reportUnopenableInput(path, platform);
        return -1;
    }
    // A GUFI header has no calibration of its own to map with.
    if (request.conversion == kTrailerCalibration) {
        reportNoStoredCalibration(path, platform);
        return -1;
    }
    unsigned char fields[10];
    if (input.readAt(9, fields, sizeof fields) != sizeof fields) {
        reportCorruptedInput(path, platform);
        return -1;
    }
    GufiHeader header;
    header.firstAngle = float32At(fields);
    header.angleStep = float32At(fields + 4);
    header.numPoints = int16At(fields + 8);
    const int count = header.numPoints;
    // Angles that are no numbers, a negative count, or fewer count bytes than announced: nothing
    // is allocated for counts the file cannot hold.
    if (!std::isfinite(header.firstAngle) || !std::isfinite(header.angleStep) || count < 0 ||
        (count > 0 && input.size() >= 0 && input.size() < kCountsOffset + 4LL * count)) {
        reportCorruptedInput(path, platform);
        return -1;
    }
    std::vector<unsigned char> counts(4 * static_cast<std::size_t>(count));
    if (count > 0 && input.readAt(kCountsOffset, counts.data(), counts.size()) != counts.size()) {
        reportCorruptedInput(path, platform);
        return -1;
    }

    std::vector<ScanPoint> points(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < points.size(); ++i) {
        const float value = float32At(&counts[4 * i]);
        if (!std::isfinite(value)) {
            reportCorruptedInput(path, platform);
            return -1;
        }
        points[i].count = value;
    }
    const double first = header.firstAngle;
    const double step = header.angleStep;
    auto angle = [first, step](std::size_t i) { return first + step * static_cast<double>(i); };
    if (request.conversion == kFileAngles) {
        for (std::size_t i = 0; i < points.size(); ++i) points[i].twoTheta = angle(i);
    } else {
        if (!mapScanToTwoTheta(points, first, step, calibration, straightLine, path, platform, request.angleMemo))
            return -1;
    }

    scan.points = std::move(points);
    scan.ownAngles = true;
    scan.gufiHeader = header;
    scan.metadata = ScanMetadata{};  // a GUFI header says nothing of the measurement
    settings.startAngle = first;
    settings.inputStep = step;
    return 0;
}

}  // namespace s2t
