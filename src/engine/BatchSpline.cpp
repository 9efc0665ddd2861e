#include "engine/BatchSpline.h"

#include <span>

#include "calibration/Spline.h"

namespace s2t {

void BatchSpline::computeFor(std::size_t k, CalibrationState& calibration) {
    if (k > 1) return;
    RecordingPlatform recording(shown_[k], std::string());
    spline(std::span<CalibrationPoint>(calibration.calPoints), {&recording, nullptr}, true);
}

void BatchSpline::showFor(std::size_t k, Platform& platform) const {
    ConversionPlayback playback(std::string(), platform, nullptr);
    playback.play(shown_[k > 1 ? 1 : k].stretch());
}

}  // namespace s2t
