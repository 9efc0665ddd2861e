#include "ui/CountScale.h"

#include <algorithm>
#include <cmath>

#include "ui/AxisTicks.h"

namespace s2t::ui {

double CountScaleMap::toAxis(double count) const {
    switch (scale_) {
    case CountScale::Linear: return count;
    case CountScale::SquareRoot:
        // Negative values (a background subtracted elsewhere) keep their side of zero.
        return std::copysign(std::sqrt(std::abs(count)), count);
    case CountScale::Log: return std::log10(std::max(count, logFloor_));
    }
    return count;
}

double CountScaleMap::toCount(double axisValue) const {
    switch (scale_) {
    case CountScale::Linear: return axisValue;
    case CountScale::SquareRoot: return std::copysign(axisValue * axisValue, axisValue);
    case CountScale::Log: return std::max(std::pow(10.0, axisValue), logFloor_);
    }
    return axisValue;
}

double logFloorFor(std::span<const double> counts, double floorSoFar) {
    double smallest = 0.0;
    for (double count : counts)
        if (count > 0.0 && std::isfinite(count) && (smallest == 0.0 || count < smallest)) smallest = count;
    double floor = smallest > 0.0 ? smallest / 2.0 : 0.5;
    if (floorSoFar > 0.0) floor = std::min(floor, floorSoFar);
    return floor;
}

namespace {

// Decades, thinned to every second, fifth, ... so that about `most` remain; 2 and 5 times each
// decade join in when the range holds too few decades to read.
std::vector<double> logTicks(double axisLow, double axisHigh, int most) {
    std::vector<double> ticks;
    const double firstDecade = std::ceil(axisLow - 1e-9);
    const double lastDecade = std::floor(axisHigh + 1e-9);
    const double decades = lastDecade - firstDecade + 1.0;
    if (decades >= 3.0) {
        const double stride = std::max(1.0, std::ceil(decades / most));
        for (double d = std::ceil(firstDecade / stride) * stride; d <= lastDecade; d += stride)
            ticks.push_back(std::pow(10.0, d));
        return ticks;
    }
    for (double d = std::floor(axisLow); d <= lastDecade; d += 1.0)
        for (double factor : {1.0, 2.0, 5.0}) {
            const double count = factor * std::pow(10.0, d);
            const double at = std::log10(count);
            if (at >= axisLow - 1e-9 && at <= axisHigh + 1e-9) ticks.push_back(count);
        }
    if (ticks.size() >= 2) return ticks;
    // Less than a factor of two shown: a linear choice of counts reads better.
    ticks.clear();
    const double low = std::pow(10.0, axisLow), high = std::pow(10.0, axisHigh);
    const double interval = niceInterval(high - low, most);
    for (double count = std::ceil(low / interval) * interval; count <= high; count += interval) ticks.push_back(count);
    return ticks;
}

// Nice steps of the axis value (the root of the count): the labels are squares of nice numbers,
// spread evenly over the height.
std::vector<double> squareRootTicks(double axisLow, double axisHigh, int most) {
    std::vector<double> ticks;
    const double interval = niceInterval(axisHigh - axisLow, most);
    for (double at = std::ceil(axisLow / interval) * interval; at <= axisHigh + 1e-9 * interval; at += interval) {
        const double count = std::copysign(at * at, at);
        if (ticks.empty() || count != ticks.back()) ticks.push_back(std::abs(at) < 1e-9 * interval ? 0.0 : count);
    }
    return ticks;
}

}  // namespace

std::vector<double> countTicks(const CountScaleMap& map, double axisLow, double axisHigh, int most) {
    if (!(axisHigh > axisLow) || !std::isfinite(axisLow) || !std::isfinite(axisHigh)) return {};
    switch (map.scale()) {
    case CountScale::Log: return logTicks(axisLow, axisHigh, most);
    case CountScale::SquareRoot: return squareRootTicks(axisLow, axisHigh, most);
    case CountScale::Linear: break;
    }
    std::vector<double> ticks;
    const double interval = niceInterval(axisHigh - axisLow, most);
    for (double at = std::ceil(axisLow / interval) * interval; at <= axisHigh + 1e-9 * interval; at += interval)
        ticks.push_back(at);
    return ticks;
}

}  // namespace s2t::ui
