#include "engine/ScanMapping.h"

#include "engine/ChannelMapping.h"
#include "platform/Messages.h"

#include <cmath>

namespace s2t {

std::optional<UserMessage> calibrationRefusal(const CalibrationState& calibration, bool straightLine,
                                              const std::string& path) {
    if (straightLine) return std::nullopt;
    if (!splineCalibrationUsable(calibration))
        return UserMessage{messages::kError, messages::splineNeedsTwoChannels(path)};
    // Two points on one channel leave the spline without finite coefficients: every angle would
    // be garbage, so the file is not converted.
    for (const auto& point : calibration.calPoints)
        if (!std::isfinite(point.secondDeriv)) return UserMessage{messages::kError, messages::kPointError};
    return std::nullopt;
}

namespace {

// Notes what mapping a scan met: two spline points on one channel, an angle beyond numbers.
bool noteMappingFaults(const std::vector<ScanPoint>& points, bool zeroWidth, const std::string& path,
                       std::vector<UserMessage>& notes) {
    bool finite = true;
    for (const ScanPoint& point : points) finite = finite && std::isfinite(point.twoTheta);
    if (zeroWidth) notes.push_back({messages::kError, messages::kPointError});
    // An infinite angle would reach the files as "inf", and resampling around it as "nan".
    if (!finite) notes.push_back({messages::kError, messages::anglesBeyondNumbers(path)});
    return finite;
}

// The straight line a channel file's trailer stores, as a calibration; none, after the message
// that says why, when the file stores none or a curve that no straight line gives.
std::optional<CalibrationState> storedLineOf(const ScanMetadata& metadata, const std::string& path, ReadResult& read) {
    if (!metadata.calibration) {
        read.fail(messages::kError, messages::noStoredCalibration(path));
        return std::nullopt;
    }
    if (metadata.calibration->quadratic != 0.0) {
        read.fail(messages::kError, messages::quadraticStoredCalibration(path));
        return std::nullopt;
    }
    CalibrationState stored;
    stored.header.K = metadata.calibration->zero;
    stored.header.C = metadata.calibration->slope;
    return stored;
}

}  // namespace

bool mapScanToTwoTheta(std::vector<ScanPoint>& points, double first, double step, const CalibrationState& calibration,
                       bool straightLine, const std::string& path, std::vector<UserMessage>& notes, AngleMemo* memo) {
    const MappedAngles* known = memo ? memo->find(calibration, straightLine, first, step, points.size()) : nullptr;
    MappedAngles fresh;
    if (!known) {
        fresh.twoTheta.resize(points.size());
        IntervalCursor cursor;
        for (std::size_t i = 0; i < points.size(); ++i)
            fresh.twoTheta[i] = channelToTTheta(calibration, first + step * static_cast<double>(i), straightLine,
                                                &fresh.zeroWidth, &cursor);
    }
    const MappedAngles& angles = known ? *known : fresh;
    for (std::size_t i = 0; i < points.size(); ++i) points[i].twoTheta = angles.twoTheta[i];
    const bool finite = noteMappingFaults(points, angles.zeroWidth, path, notes);
    if (!known && memo) memo->keep(calibration, straightLine, first, step, std::move(fresh));
    return finite;
}

bool mapAbscissaeToTwoTheta(std::vector<ScanPoint>& points, const std::vector<double>& abscissae,
                            const CalibrationState& calibration, bool straightLine, const std::string& path,
                            std::vector<UserMessage>& notes) {
    bool zeroWidth = false;
    IntervalCursor cursor;
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i].twoTheta = channelToTTheta(calibration, abscissae[i], straightLine, &zeroWidth, &cursor);
    return noteMappingFaults(points, zeroWidth, path, notes);
}

void mapReadScan(ReadResult& read, const ConversionRequest& request, const CalibrationState& calibration,
                 bool keepAngles) {
    const std::string& path = request.inputFile;
    std::vector<ScanPoint>& points = read.scan.points;
    const Abscissae& at = read.abscissae;
    if (keepAngles) {
        for (std::size_t i = 0; i < points.size(); ++i) points[i].twoTheta = at.at(i);
        return;
    }
    // The trailer's own line, file by file, in place of the calibration in force.
    std::optional<CalibrationState> stored;
    if (request.conversion == kTrailerCalibration && !(stored = storedLineOf(read.scan.metadata, path, read))) return;
    const CalibrationState& mapping = stored ? *stored : calibration;
    const bool straightLine = mapsWithStraightLine(request.conversion);
    const bool mapped = at.followStep()
                            ? mapScanToTwoTheta(points, at.first, at.step, mapping, straightLine, path, read.messages,
                                                request.angleMemo)
                            : mapAbscissaeToTwoTheta(points, *at.listed, mapping, straightLine, path, read.messages);
    if (!mapped) read.failed = true;
}

}  // namespace s2t
