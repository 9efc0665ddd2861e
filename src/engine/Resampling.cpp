#include "engine/Resampling.h"

#include <algorithm>
#include <cmath>

#include "calibration/Spline.h"

namespace s2t {

double round(double v) {
    const double w = std::trunc(v);
    return v - w >= 0.5 ? w + 1.0 : w;
}

double findCountForTThetaLin(std::span<const ScanPoint> points, double x) {
    const std::size_t n = points.size();
    if (n == 0) return 0.0;
    if (n == 1) return points[0].count;
    std::size_t lo = 0, hi = n - 1, mid = (n - 1) / 2;
    while (x != points[mid].twoTheta && lo != hi && lo + 1 != hi) {
        if (x <= points[mid].twoTheta)
            hi = mid;
        else
            lo = mid;
        mid = lo + (hi - lo) / 2;
    }
    if (x == points[mid].twoTheta) return points[mid].count;
    const ScanPoint& a = points[mid];
    const ScanPoint& b = points[mid + 1];
    return a.count + (x - a.twoTheta) * (b.count - a.count) / (b.twoTheta - a.twoTheta);
}

void setUpForConstantStep(Scan& scan, const ConversionRequest& request, const ConversionSettings& settings,
                          Platform& platform) {
    std::span<ScanPoint> points(scan.points);
    if (settings.constStepOpts.method == 3) {
        spline(points, {&platform, request.progressPanel}, false);
    } else {
        // A falling scan (negative C, a falling calibration spline) is put in ascending order;
        // an ascending one is left exactly as it is.
        sortByAbscissa(points);
    }
}

int getTThetaAndCounts(double& x, double& y, std::span<const ScanPoint> points,
                       const ConversionRequest& request, const ConversionSettings& settings) {
    const std::uint16_t options = request.options;
    if (options & kConstantStep) {
        y = settings.constStepOpts.method == 3 ? splint(points, x) : findCountForTThetaLin(points, x);
    } else {
        const double k = std::trunc(x);
        if (!(k < static_cast<double>(points.size()))) return kBeyondScan;
        const ScanPoint& point = points[static_cast<std::size_t>(k)];
        y = point.count;
        x = point.twoTheta;
    }
    if (options & kRangeLimits) {
        if (x < settings.theRangeOptions.minTwoTheta || x > settings.theRangeOptions.maxTwoTheta)
            return kOutsideRange;
    }
    if (options & kWholeTwoTheta) x = round(x);
    if (!(options & kFractionalCounts)) y = round(y);
    return kPointDelivered;
}

}  // namespace s2t
