#include "calibration/CalibrationCurves.h"

#include <algorithm>
#include <cmath>

#include "calibration/Spline.h"

namespace s2t {
namespace {

bool hasTwoChannels(std::span<const CalibrationPoint> points) {
    return std::any_of(points.begin(), points.end(),
                       [&](const CalibrationPoint& p) { return p.channel != points[0].channel; });
}

std::vector<CurvePoint> sampledSpline(std::span<const CalibrationPoint> points, int samples) {
    std::vector<CalibrationPoint> sorted(points.begin(), points.end());
    spline(std::span<CalibrationPoint>(sorted), true);
    const double first = sorted.front().channel;
    const double last = sorted.back().channel;
    std::vector<CurvePoint> curve;
    curve.reserve(static_cast<std::size_t>(samples));
    for (int i = 0; i < samples; ++i) {
        const double channel = i + 1 == samples ? last : first + (last - first) * i / (samples - 1);
        const double twoTheta = splint(std::span<const CalibrationPoint>(sorted), channel);
        if (std::isfinite(twoTheta)) curve.push_back({channel, twoTheta});
    }
    return curve;
}

}  // namespace

CalibrationCurves calibrationCurves(std::span<const CalibrationPoint> points, double C, double K, int samples) {
    CalibrationCurves curves;
    if (points.empty()) return curves;
    auto lineAt = [&](double channel) { return C * channel + K; };
    double low = points[0].channel, high = points[0].channel;
    for (const CalibrationPoint& p : points) {
        curves.points.push_back({p.channel, p.twoTheta});
        curves.residuals.push_back({p.channel, p.twoTheta - lineAt(p.channel)});
        low = std::min(low, p.channel);
        high = std::max(high, p.channel);
    }
    if (low == high) {
        // One channel only: draw the line a little either side of it.
        low -= 1.0;
        high += 1.0;
    }
    curves.line = {{low, lineAt(low)}, {high, lineAt(high)}};
    if (hasTwoChannels(points) && samples >= 2) curves.spline = sampledSpline(points, samples);
    return curves;
}

}  // namespace s2t
