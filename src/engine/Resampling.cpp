#include "engine/Resampling.h"

#include <algorithm>
#include <cmath>

#include "calibration/Spline.h"
#include "calibration/SplineProgress.h"

namespace s2t {

double findCountForTThetaLin(std::span<const ScanPoint> points, double x, IntervalCursor* cursor) {
    const std::size_t n = points.size();
    if (n == 0) return 0.0;
    if (n == 1) return points[0].count;
    auto interpolate = [&](std::size_t lower) {
        const ScanPoint& a = points[lower];
        const ScanPoint& b = points[lower + 1];
        return a.count + (x - a.twoTheta) * (b.count - a.count) / (b.twoTheta - a.twoTheta);
    };
    if (cursor) {
        // Strictly between two neighbours, x is no point's abscissa, so the bisection below ends
        // on exactly these two without stopping early. On a point, or outside the scan, the
        // bisection decides.
        std::size_t lower = cursor->lower;
        if (lower + 1 < n) {
            lower += static_cast<std::size_t>(lower + 2 < n && points[lower + 1].twoTheta < x);
            lower += static_cast<std::size_t>(lower + 2 < n && points[lower + 1].twoTheta < x);
            if (points[lower].twoTheta < x && x < points[lower + 1].twoTheta) {
                cursor->lower = lower;
                return interpolate(lower);
            }
        }
    }
    std::size_t lo = 0, hi = n - 1, mid = (n - 1) / 2;
    while (x != points[mid].twoTheta && lo != hi && lo + 1 != hi) {
        if (x <= points[mid].twoTheta)
            hi = mid;
        else
            lo = mid;
        mid = lo + (hi - lo) / 2;
    }
    if (cursor) cursor->lower = mid;
    if (x == points[mid].twoTheta) return points[mid].count;
    return interpolate(mid);
}

void setUpForConstantStep(Scan& scan, const ConversionRequest& request, const ConversionSettings& settings,
                          Platform& platform) {
    std::span<ScanPoint> points(scan.points);
    if (settings.constStepOpts.method == kSplineInterpolation) {
        splineWithProgress(points, false, {&platform, request.progressPanel});
    } else {
        // A falling scan (negative C, a falling calibration spline) is put in ascending order;
        // an ascending one is left exactly as it is.
        sortByAbscissa(points);
    }
}

}  // namespace s2t
