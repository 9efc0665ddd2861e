// How the preview's count axis is drawn: linear, square root (counting noise looks the same
// at every height) or logarithmic (weak reflections beside strong ones). Counts are mapped to
// axis values and back; the axis labels stay counts.
#pragma once

#include <span>
#include <vector>

namespace s2t::ui {

enum class CountScale { Linear, SquareRoot, Log };

class CountScaleMap {
public:
    CountScaleMap() = default;
    // logFloor: where a count of zero or less is drawn on the log scale (see logFloorFor).
    CountScaleMap(CountScale scale, double logFloor) : scale_(scale), logFloor_(logFloor) {}

    CountScale scale() const { return scale_; }
    double logFloor() const { return logFloor_; }

    double toAxis(double count) const;
    // The count an axis value stands for; on the log scale never less than the floor.
    double toCount(double axisValue) const;

private:
    CountScale scale_ = CountScale::Linear;
    double logFloor_ = 0.5;
};

// The floor of the log scale for these counts: half the smallest positive count, so that an empty
// channel lies just under the weakest counted one, and 0.5 (half a count) when none is positive.
double logFloorFor(std::span<const double> counts, double floorSoFar = 0.0);

// The counts to label on an axis of this scale from axisLow to axisHigh (axis values): nice
// counts whose axis positions are spread over the range, at most about `most` of them. Under
// the linear scale the value axis chooses its own ticks; this serves the other two.
std::vector<double> countTicks(const CountScaleMap& map, double axisLow, double axisHigh, int most = 8);

}  // namespace s2t::ui
