#include "calibration/LinearFit.h"

#include <cmath>
#include <vector>

#include "calibration/Spline.h"
#include "platform/Messages.h"

namespace s2t {

void LinReg(const double* x, const double* y, int n, double* slope, double* intercept) {
    double sumX = 0.0, sumY = 0.0;
    for (int i = 0; i < n; ++i) {
        sumX += x[i];
        sumY += y[i];
    }
    const double mx = sumX / n;
    const double my = sumY / n;
    double sumSqX = 0.0, sumSqY = 0.0;
    for (int i = 0; i < n; ++i) {
        sumSqX += sqr(x[i] - mx);
        sumSqY += sqr(y[i] - my);
    }
    const double vx = sumSqX / (n - 1);
    const double vy = sumSqY / (n - 1);
    const double sx = std::sqrt(vx);
    const double sy = std::sqrt(vy);
    if (sy == 0.0) {
        // Every y is the same: the horizontal line fits (the correlation would be 0/0).
        *slope = 0.0;
        *intercept = my;
        return;
    }
    double sumProducts = 0.0;
    for (int i = 0; i < n; ++i) sumProducts += ((x[i] - mx) / sx) * ((y[i] - my) / sy);
    const double r = sumProducts / (n - 1);
    *slope = r * (sy / sx);
    *intercept = my - *slope * mx;
}

const char* linearFitRefusal(std::span<const CalibrationPoint> points) {
    if (points.size() < 2) return messages::kLineNeedsTwoPoints;
    for (const auto& p : points)
        if (p.channel != points[0].channel) return nullptr;
    return messages::kLineNeedsTwoChannels;
}

const char* fitStraightLine(std::span<const CalibrationPoint> points, double& C, double& K) {
    if (const char* refusal = linearFitRefusal(points)) return refusal;
    const int n = static_cast<int>(points.size());
    std::vector<double> x(points.size()), y(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        x[i] = points[i].channel;
        y[i] = points[i].twoTheta;
    }
    double slope = 0.0, intercept = 0.0;
    LinReg(x.data(), y.data(), n, &slope, &intercept);
    if (!std::isfinite(slope) || !std::isfinite(intercept)) return messages::kNoFiniteLine;
    C = slope;
    K = intercept;
    return nullptr;
}

bool calcCoefficients(CalibrationState& state, std::span<const CalibrationPoint> listed, Platform& platform) {
    double slope = 0.0, intercept = 0.0;
    if (const char* refusal = fitStraightLine(listed, slope, intercept)) {
        platform.messagePopup(messages::kNotPossible, refusal);
        return false;
    }
    state.calPoints.clear();
    for (const auto& p : listed) state.calPoints.push_back({p.channel, p.twoTheta, 0.0});
    state.header.C = slope;
    state.header.K = intercept;
    return true;
}

}  // namespace s2t
