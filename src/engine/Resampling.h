// Between the readers and the writers: delivering one output point, either a scan point as it is
// or the count interpolated at a 2-theta of the constant-step grid, with range limits and the
// rounding options applied.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <span>

#include "calibration/Spline.h"
#include "engine/ConversionRecords.h"
#include "platform/Platform.h"

namespace s2t {

// Rounds to a whole number: halves up for positive values; negative values are truncated toward
// zero (-1.6 gives -1). Stays a double, so no value overflows an integer. A value that rounds to
// zero is +0 whatever its sign, as a whole number has no minus zero (-0.4 would otherwise be
// written as "-0" or as the GUFI bytes 00 00 00 80).
inline double roundToWhole(double v) {
    const double w = std::trunc(v) + 0.0;  // -0 + 0 is +0
    const double up = w + 1.0;
    // Choose between the two by mask rather than by branch: whether a count rounds up is as good
    // as random, and a mispredicted branch per value costs more than the rest of the rounding.
    const std::uint64_t mask = 0 - static_cast<std::uint64_t>(v - w >= 0.5);
    return std::bit_cast<double>((std::bit_cast<std::uint64_t>(up) & mask) | (std::bit_cast<std::uint64_t>(w) & ~mask));
}

// The count at 2-theta x by linear interpolation between the scan points that bracket x (the
// scan ascending in 2-theta); above the last point the line through the last two extends.
// cursor: where the previous x of an ascending walk was found (see IntervalCursor); the result is
// the bisection's to the last bit.
double findCountForTThetaLin(std::span<const ScanPoint> points, double x, IntervalCursor* cursor = nullptr);

// Prepares the scan for a constant-step pass: sorts it ascending in 2-theta when it is not, and
// with the spline method computes its second derivatives (progress shown on request.progressPanel).
void setUpForConstantStep(Scan& scan, const ConversionRequest& request, const ConversionSettings& settings,
                          Platform& platform);

// Result of getTThetaAndCounts.
inline constexpr int kPointDelivered = 0;
inline constexpr int kBeyondScan = 1;
inline constexpr int kOutsideRange = -1;

// The last part of getTThetaAndCounts below, for a point whose x and y are known: the range limits
// (kOutsideRange) and the whole-number options.
inline int finishPoint(double& x, double& y, std::uint16_t options, const ConversionSettings& settings) {
    if (options & kRangeLimits) {
        if (x < settings.theRangeOptions.minTwoTheta || x > settings.theRangeOptions.maxTwoTheta) return kOutsideRange;
    }
    if (options & kWholeTwoTheta) x = roundToWhole(x);
    if (!(options & kFractionalCounts)) y = roundToWhole(y);
    return kPointDelivered;
}

// One output point. With constant step, x is a grid 2-theta and y becomes the count there;
// otherwise x is a point index and both become that point's values. Applies the range limits
// (kOutsideRange) and the whole-number options. cursor: kept between the points of one pass.
// Defined here so that the output pass's loop compiles it in place.
inline int getTThetaAndCounts(double& x, double& y, std::span<const ScanPoint> points, const ConversionRequest& request,
                              const ConversionSettings& settings, IntervalCursor* cursor = nullptr) {
    const std::uint16_t options = request.options;
    if (options & kConstantStep) {
        y = settings.constStepOpts.method == kSplineInterpolation ? splint(points, x, nullptr, cursor)
                                                                  : findCountForTThetaLin(points, x, cursor);
    } else {
        const double k = std::trunc(x);
        if (!(k < static_cast<double>(points.size()))) return kBeyondScan;
        const ScanPoint& point = points[static_cast<std::size_t>(k)];
        y = point.count;
        x = point.twoTheta;
    }
    return finishPoint(x, y, options, settings);
}

}  // namespace s2t
