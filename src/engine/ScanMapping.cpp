#include "engine/ScanMapping.h"

#include "engine/ChannelMapping.h"
#include "platform/Messages.h"

#include <cmath>

namespace s2t {

bool calibrationCanMap(const CalibrationState& calibration, bool straightLine, const std::string& path,
                       Platform& platform) {
    if (straightLine) return true;
    if (!splineCalibrationUsable(calibration)) {
        platform.messagePopup(messages::kError, messages::splineNeedsTwoChannels(path));
        return false;
    }
    // Two points on one channel leave the spline without finite coefficients: every angle would
    // be garbage, so the file is not converted.
    for (const auto& point : calibration.calPoints) {
        if (!std::isfinite(point.secondDeriv)) {
            platform.messagePopup(messages::kError, messages::kPointError);
            return false;
        }
    }
    return true;
}

namespace {

// Reports what mapping a scan met: two spline points on one channel, an angle beyond numbers.
bool reportMappingFaults(const std::vector<ScanPoint>& points, bool zeroWidth, const std::string& path,
                         Platform& platform) {
    bool finite = true;
    for (const ScanPoint& point : points) finite = finite && std::isfinite(point.twoTheta);
    if (zeroWidth) platform.messagePopup(messages::kError, messages::kPointError);
    // An infinite angle would reach the files as "inf", and resampling around it as "nan".
    if (!finite) platform.messagePopup(messages::kError, messages::anglesBeyondNumbers(path));
    return finite;
}

}  // namespace

bool mapScanToTwoTheta(std::vector<ScanPoint>& points, double first, double step, const CalibrationState& calibration,
                       bool straightLine, const std::string& path, Platform& platform, AngleMemo* memo) {
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
    const bool finite = reportMappingFaults(points, angles.zeroWidth, path, platform);
    if (!known && memo) memo->keep(calibration, straightLine, first, step, std::move(fresh));
    return finite;
}

bool mapAbscissaeToTwoTheta(std::vector<ScanPoint>& points, const std::vector<double>& abscissae,
                            const CalibrationState& calibration, bool straightLine, const std::string& path,
                            Platform& platform) {
    bool zeroWidth = false;
    IntervalCursor cursor;
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i].twoTheta = channelToTTheta(calibration, abscissae[i], straightLine, &zeroWidth, &cursor);
    return reportMappingFaults(points, zeroWidth, path, platform);
}

}  // namespace s2t
