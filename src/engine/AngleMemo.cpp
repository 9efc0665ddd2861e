#include "engine/AngleMemo.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace s2t {
namespace {

// Equal to the bit: a memo must never stand in for a calibration that differs in any digit (and
// NaN coefficients, which never compare equal, must still be found again).
bool same(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

bool samePoints(const std::vector<CalibrationPoint>& a, const std::vector<CalibrationPoint>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const CalibrationPoint& p, const CalibrationPoint& q) {
        return same(p.channel, q.channel) && same(p.twoTheta, q.twoTheta) && same(p.secondDeriv, q.secondDeriv);
    });
}

}  // namespace

const MappedAngles* AngleMemo::find(const CalibrationState& calibration, bool straightLine, double first,
                                    double step, std::size_t count) const {
    if (!valid_ || straightLine != straightLine_ || count != angles_.twoTheta.size() || !same(first, first_) ||
        !same(step, step_))
        return nullptr;
    // The straight line reads only C and K; the spline reads only the points.
    if (straightLine) {
        if (!same(calibration.header.C, C_) || !same(calibration.header.K, K_)) return nullptr;
    } else if (!samePoints(calibration.calPoints, calPoints_)) {
        return nullptr;
    }
    return &angles_;
}

void AngleMemo::keep(const CalibrationState& calibration, bool straightLine, double first, double step,
                     MappedAngles angles) {
    valid_ = true;
    straightLine_ = straightLine;
    first_ = first;
    step_ = step;
    C_ = calibration.header.C;
    K_ = calibration.header.K;
    if (straightLine)
        calPoints_.clear();
    else
        calPoints_ = calibration.calPoints;
    angles_ = std::move(angles);
    factors_.reset();
    factorsTried_ = false;
}

const SplineFactors* AngleMemo::splineFactorsFor(std::span<const ScanPoint> points) {
    if (!valid_ || points.size() != angles_.twoTheta.size()) return nullptr;
    for (std::size_t i = 0; i < points.size(); ++i)
        if (!same(points[i].twoTheta, angles_.twoTheta[i])) return nullptr;
    if (!factorsTried_) {
        factorsTried_ = true;
        const std::vector<double>& x = angles_.twoTheta;
        // Strictly ascending: the spline then neither sorts nor meets an interval of width 0.
        bool ascending = true;
        for (std::size_t i = 1; i < x.size(); ++i) ascending = ascending && x[i - 1] < x[i];
        if (ascending) factors_ = splineFactors(points);
    }
    return factors_ ? &*factors_ : nullptr;
}

}  // namespace s2t
