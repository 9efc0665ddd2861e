// The calibration spline of a batch. Every file is converted with a freshly computed spline of
// the calibration points, so that no file ever uses stale second derivatives. The first
// computation sorts the points; a spline over points that are already sorted depends on nothing
// but their values, so from the second file on the result is the same each time. Only the first
// two files compute it; every later file converts with the second result, and shows again what
// computing it showed (the wait cursor).
#pragma once

#include <cstddef>
#include <vector>

#include "calibration/CalibrationState.h"
#include "engine/RecordedConversion.h"

namespace s2t {

class BatchSpline {
public:
    // Brings calibration to the state file k converts with: computes the spline for files 0 and
    // 1, leaves it as it is for later files (which must come after file 1's call).
    void computeFor(std::size_t k, CalibrationState& calibration);
    // Shows on platform what computing the spline for file k showed.
    void showFor(std::size_t k, Platform& platform) const;

private:
    std::vector<RecordedEvent> shown_[2];
};

}  // namespace s2t
