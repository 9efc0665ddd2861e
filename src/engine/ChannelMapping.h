// Channel to 2-theta: the straight line, or the calibration spline with the straight line
// through the first and last calibration point outside the calibrated channels.
#pragma once

#include "calibration/CalibrationState.h"
#include "calibration/Spline.h"

namespace s2t {

// The 2-theta of a channel (for a GUFI file: of its own abscissa). straightLine: 2-theta =
// C x channel + K; otherwise the spline through calPoints, which must be sorted by channel and
// have their second derivatives (spline() with slopes from the fit), with at least two distinct
// channels. *zeroWidth is set when the spline met two points with the same channel. cursor: kept
// between the channels of one ascending walk (see IntervalCursor).
double channelToTTheta(const CalibrationState& state, double channel, bool straightLine, bool* zeroWidth = nullptr,
                       IntervalCursor* cursor = nullptr);

// Whether the spline calibration can map channels: at least two points with different channels.
bool splineCalibrationUsable(const CalibrationState& state);

}  // namespace s2t
