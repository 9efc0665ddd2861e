#include "peaks/EndGuards.h"

#include <algorithm>
#include <cmath>

#include "calibration/Spline.h"
#include "platform/NumberText.h"

namespace s2t::peaks {
namespace {

double asStored(double value) { return parseLeadingDouble(formatFixed(value, 4)); }

// The cubic of the interval (lo, hi) at x, also outside the interval.
double intervalCubic(const CalibrationPoint& lo, const CalibrationPoint& hi, double loM, double hiM, double x) {
    const double h = hi.channel - lo.channel;
    const double a = (hi.channel - x) / h;
    const double b = (x - lo.channel) / h;
    return a * lo.twoTheta + b * hi.twoTheta + ((a * a * a - a) * loM + (b * b * b - b) * hiM) * (h * h) / 6.0;
}

// The clamped spline's second derivatives at the first and last pair (indices 1 and n - 2 of
// points, which hold the guards at both ends).
std::pair<double, double> clampedEndCurvatures(std::vector<CalibrationPoint> points) {
    spline(std::span<CalibrationPoint>(points), true);
    return {points[1].secondDeriv, points[points.size() - 2].secondDeriv};
}

}  // namespace

std::vector<double> notAKnotSecondDerivatives(std::span<const CalibrationPoint> points) {
    const std::size_t n = points.size();
    std::vector<double> h(n - 1), slope(n - 1);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        h[i] = points[i + 1].channel - points[i].channel;
        slope[i] = (points[i + 1].twoTheta - points[i].twoTheta) / h[i];
    }
    if (n == 3) return std::vector<double>(3, 2.0 * (slope[1] - slope[0]) / (h[0] + h[1]));

    // The interior second derivatives 1 .. n-2; the end ones follow from the not-a-knot
    // conditions (the third derivative does not jump at points 1 and n-2), which fold into the
    // first and last rows of the usual tridiagonal system.
    const std::size_t m = n - 2;
    std::vector<double> lower(m, 0.0), diagonal(m), upper(m, 0.0), right(m);
    for (std::size_t k = 0; k < m; ++k) {
        const std::size_t i = k + 1;
        lower[k] = h[i - 1];
        diagonal[k] = 2.0 * (h[i - 1] + h[i]);
        upper[k] = h[i];
        right[k] = 6.0 * (slope[i] - slope[i - 1]);
    }
    diagonal[0] += h[0] * (h[0] + h[1]) / h[1];
    upper[0] -= h[0] * h[0] / h[1];
    diagonal[m - 1] += h[n - 2] * (h[n - 3] + h[n - 2]) / h[n - 3];
    lower[m - 1] -= h[n - 2] * h[n - 2] / h[n - 3];
    for (std::size_t k = 1; k < m; ++k) {
        const double factor = lower[k] / diagonal[k - 1];
        diagonal[k] -= factor * upper[k - 1];
        right[k] -= factor * right[k - 1];
    }
    std::vector<double> second(n);
    second[m] = right[m - 1] / diagonal[m - 1];
    for (std::size_t k = m - 1; k-- > 0;) second[k + 1] = (right[k] - upper[k] * second[k + 2]) / diagonal[k];
    second[0] = ((h[0] + h[1]) * second[1] - h[0] * second[2]) / h[1];
    second[n - 1] = ((h[n - 3] + h[n - 2]) * second[n - 2] - h[n - 2] * second[n - 3]) / h[n - 3];
    return second;
}

std::vector<CalibrationPoint> endGuards(std::span<const CalibrationPoint> given, std::size_t scanChannels) {
    std::vector<CalibrationPoint> points(given.begin(), given.end());
    const std::size_t n = points.size();
    if (n < 3) return {};
    std::sort(points.begin(), points.end(),
              [](const CalibrationPoint& a, const CalibrationPoint& b) { return a.channel < b.channel; });
    for (std::size_t i = 0; i + 1 < n; ++i)
        if (!(points[i + 1].channel > points[i].channel)) return {};
    const std::vector<double> target = notAKnotSecondDerivatives(points);

    // Two mean intervals out: the farther the clamp, the less it bends the spline between the
    // last pair and the scan's end, where a reflection that was not found may still lie (one
    // interval out left up to 0.018 degrees there on a curved law, two 0.007, at the cost of
    // following a noisy end curvature a little longer on a straight one).
    const double interval =
        std::max(1.0, std::round(2.0 * (points.back().channel - points.front().channel) / static_cast<double>(n - 1)));
    CalibrationPoint below{std::floor(points.front().channel) - interval, 0.0, 0.0};
    CalibrationPoint above{std::ceil(points.back().channel) + interval, 0.0, 0.0};
    // Beyond its last point a spline is the cubic of its last interval, which runs away within a
    // few intervals: where the pairs end well inside the scan (its last reflections not found),
    // and more than a mean interval of it would lie beyond the guard, the guard goes to the
    // scan's end, so that every channel of the scan lies between points.
    if (scanChannels > 0) {
        const double lastChannel = static_cast<double>(scanChannels - 1);
        if (below.channel > 0.5 * interval) below.channel = 0.0;
        if (above.channel < lastChannel - 0.5 * interval) above.channel = lastChannel;
    }
    // Start from the not-a-knot spline's own continuation, then correct both guards at once.
    below.twoTheta = intervalCubic(points[0], points[1], target[0], target[1], below.channel);
    above.twoTheta = intervalCubic(points[n - 2], points[n - 1], target[n - 2], target[n - 1], above.channel);

    std::vector<CalibrationPoint> all;
    all.reserve(n + 2);
    all.push_back(below);
    all.insert(all.end(), points.begin(), points.end());
    all.push_back(above);
    auto curvatures = [&](double lowGuard, double highGuard) {
        all.front().twoTheta = lowGuard;
        all.back().twoTheta = highGuard;
        return clampedEndCurvatures(all);
    };
    // The spline is linear in the guards' ordinates, and so is the least-squares slope it is
    // clamped with: one unit step of each guard gives the columns of the system.
    const auto base = curvatures(below.twoTheta, above.twoTheta);
    const auto lowStep = curvatures(below.twoTheta + 1.0, above.twoTheta);
    const auto highStep = curvatures(below.twoTheta, above.twoTheta + 1.0);
    const double a11 = lowStep.first - base.first, a12 = highStep.first - base.first;
    const double a21 = lowStep.second - base.second, a22 = highStep.second - base.second;
    const double determinant = a11 * a22 - a12 * a21;
    if (!(std::fabs(determinant) > 0.0) || !std::isfinite(determinant)) return {};
    const double r1 = target[0] - base.first, r2 = target[n - 1] - base.second;
    below.twoTheta = asStored(below.twoTheta + (r1 * a22 - a12 * r2) / determinant);
    above.twoTheta = asStored(above.twoTheta + (a11 * r2 - a21 * r1) / determinant);
    if (!std::isfinite(below.twoTheta) || !std::isfinite(above.twoTheta)) return {};
    return {below, above};
}

}  // namespace s2t::peaks
