// MCA channel files: a 32-byte header (signature -1, first channel at 28, channel count at 30)
// followed by one little-endian 32-bit count per channel. The trailer record after the last count
// is read for what it says of the measurement only: its absence or damage never changes how the
// counts are read or whether the file is accepted.
#include <array>
#include <vector>

#include "engine/BinaryInput.h"
#include "engine/ChnMetadata.h"
#include "engine/ReaderMessages.h"
#include "engine/ScanMapping.h"
#include "engine/ScanReaders.h"
#include "platform/Messages.h"

namespace s2t {
namespace {

constexpr long long kHeaderSize = 32;

// The straight line of a file's trailer as a calibration; false after a message when the file
// stores none, or a curve that no straight line gives.
bool storedLineOf(const ScanMetadata& metadata, const std::string& path, CalibrationState& stored, Platform& platform) {
    if (!metadata.calibration) {
        reportNoStoredCalibration(path, platform);
        return false;
    }
    if (metadata.calibration->quadratic != 0.0) {
        platform.messagePopup(messages::kError, messages::quadraticStoredCalibration(path));
        return false;
    }
    stored.header.K = metadata.calibration->zero;
    stored.header.C = metadata.calibration->slope;
    return true;
}

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
        platform.messagePopup(messages::kError, messages::notAChnFile(path));
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

    // Only a file of known size gives its trailer: from a pipe, whose writer may keep it open,
    // the reader never waits for more than the counts.
    std::array<unsigned char, kChnTrailerSize> trailer;
    const std::size_t trailerSize = input.size() >= 0 ? input.read(trailer.data(), trailer.size()) : 0;

    ScanMetadata metadata = readChnMetadata(header, std::span<const unsigned char>(trailer.data(), trailerSize));
    // The trailer's own line, file by file, in place of the calibration in force.
    CalibrationState stored;
    if (request.conversion == kTrailerCalibration && !storedLineOf(metadata, path, stored, platform)) return -1;
    const CalibrationState& mapping = request.conversion == kTrailerCalibration ? stored : calibration;

    std::vector<ScanPoint> points(static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < points.size(); ++i) points[i].count = static_cast<double>(int32At(&counts[4 * i]));
    if (!mapScanToTwoTheta(points, 0.0, 1.0, mapping, straightLine, path, platform, request.angleMemo)) return -1;

    scan.points = std::move(points);
    scan.ownAngles = false;
    scan.chnHeader = header;
    scan.metadata = std::move(metadata);
    settings.startAngle = header.firstChannel();
    settings.inputStep = 1.0;
    return 0;
}

}  // namespace s2t
