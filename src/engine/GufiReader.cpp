// GUFI binary scans: a 643-byte header holding the first angle (float at 9), the angle step
// (float at 13) and the point count (int16 at 17), then one little-endian float count per point.
// Every other header byte, and everything after the last count, is not read.
#include <cmath>
#include <vector>

#include "engine/BinaryInput.h"
#include "engine/ReaderMessages.h"
#include "engine/ScanReaders.h"

namespace s2t {
namespace {

constexpr long long kCountsOffset = 643;

}  // namespace

ReadResult readGUFIFile(const ConversionRequest& request) {
    const std::string& path = request.inputFile;
    BinaryInput input(path);
    if (!input.isOpen()) return unopenableInput(path);
    // A GUFI header has no calibration of its own to map with.
    if (request.conversion == kTrailerCalibration) return withoutStoredCalibration(path);
    unsigned char fields[10];
    if (input.readAt(9, fields, sizeof fields) != sizeof fields) return corruptedInput(path);
    GufiHeader header;
    header.firstAngle = float32At(fields);
    header.angleStep = float32At(fields + 4);
    header.numPoints = int16At(fields + 8);
    const int count = header.numPoints;
    // Angles that are no numbers, a negative count, or fewer count bytes than announced: nothing
    // is allocated for counts the file cannot hold.
    if (!std::isfinite(header.firstAngle) || !std::isfinite(header.angleStep) || count < 0 ||
        (count > 0 && input.size() >= 0 && input.size() < kCountsOffset + 4LL * count))
        return corruptedInput(path);
    std::vector<unsigned char> counts(4 * static_cast<std::size_t>(count));
    if (count > 0 && input.readAt(kCountsOffset, counts.data(), counts.size()) != counts.size())
        return corruptedInput(path);

    ReadResult read;
    std::vector<ScanPoint>& points = read.scan.points;
    points.resize(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < points.size(); ++i) {
        const float value = float32At(&counts[4 * i]);
        if (!std::isfinite(value)) return corruptedInput(path);
        points[i].count = value;
    }
    read.scan.ownAngles = true;
    read.scan.gufiHeader = header;
    read.scan.metadata = ScanMetadata{};  // a GUFI header says nothing of the measurement
    read.abscissae = {header.firstAngle, header.angleStep, std::nullopt};
    read.startAngle = header.firstAngle;
    read.inputStep = header.angleStep;
    return read;
}

}  // namespace s2t
