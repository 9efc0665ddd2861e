#include "engine/ScanMapping.h"

#include "engine/ChannelMapping.h"

#include <cmath>

namespace s2t {

bool calibrationCanMap(const CalibrationState& calibration, bool straightLine, const std::string& path,
                       Platform& platform) {
    if (straightLine) return true;
    if (!splineCalibrationUsable(calibration)) {
        platform.messagePopup("Error", "The spline calibration needs at least two points with different channels.\n"
                                       "Will skip conversion of " + path + ".");
        return false;
    }
    // Two points on one channel leave the spline without finite coefficients: every angle would
    // be garbage, so the file is not converted.
    for (const auto& point : calibration.calPoints) {
        if (!std::isfinite(point.secondDeriv)) {
            platform.messagePopup("Error", "There was an error with one of you points!");
            return false;
        }
    }
    return true;
}

void mapScanToTwoTheta(std::vector<ScanPoint>& points, double first, double step,
                       const CalibrationState& calibration, bool straightLine, Platform& platform) {
    bool zeroWidth = false;
    IntervalCursor cursor;
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i].twoTheta =
            channelToTTheta(calibration, first + step * static_cast<double>(i), straightLine, &zeroWidth, &cursor);
    if (zeroWidth) platform.messagePopup("Error", "There was an error with one of you points!");
}

}  // namespace s2t
