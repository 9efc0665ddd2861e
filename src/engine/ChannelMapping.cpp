#include "engine/ChannelMapping.h"

#include <span>

#include "calibration/Spline.h"

namespace s2t {

double channelToTTheta(const CalibrationState& state, double channel, bool straightLine, bool* zeroWidth,
                       IntervalCursor* cursor) {
    if (straightLine) return state.header.C * channel + state.header.K;
    const auto& points = state.calPoints;
    const CalibrationPoint& first = points.front();
    const CalibrationPoint& last = points.back();
    if (channel < first.channel || channel > last.channel)
        return first.twoTheta +
               (channel - first.channel) * (last.twoTheta - first.twoTheta) / (last.channel - first.channel);
    return splint(std::span<const CalibrationPoint>(points), channel, zeroWidth, cursor);
}

bool splineCalibrationUsable(const CalibrationState& state) {
    for (const auto& p : state.calPoints)
        if (p.channel != state.calPoints.front().channel) return true;
    return false;
}

}  // namespace s2t
