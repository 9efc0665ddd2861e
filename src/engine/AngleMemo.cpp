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

const MappedAngles* AngleMemo::find(const CalibrationState& calibration, bool straightLine, double first, double step,
                                    std::size_t count) const {
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
}

}  // namespace s2t
