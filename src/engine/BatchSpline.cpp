#include "engine/BatchSpline.h"

#include <span>

#include "calibration/SplineProgress.h"

namespace s2t {

void BatchSpline::computeFor(std::size_t k, CalibrationState& calibration) {
    if (k > 1) return;
    ConversionRecorder recording(std::string(), nullptr, false);
    splineWithProgress(std::span<CalibrationPoint>(calibration.calPoints), true, {&recording, nullptr});
    shown_[k] = recording.take().events;
}

void BatchSpline::showFor(std::size_t k, Platform& platform) const {
    playBack(shown_[k > 1 ? 1 : k], nullptr, std::string(), platform, nullptr);
}

}  // namespace s2t
