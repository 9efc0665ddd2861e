#include "calibration/CalibrationState.h"

#include <iterator>

namespace s2t {

void CalibrationState::installStartupValues() {
    header.K = kStartupK;
    header.C = kStartupC;
    calPoints.assign(std::begin(kStartupPoints), std::end(kStartupPoints));
}

}  // namespace s2t
