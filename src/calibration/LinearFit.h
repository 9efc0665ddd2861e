// The least-squares straight line through calibration points, and its installation as the
// calibration in force.
#pragma once

#include <span>

#include "calibration/CalibrationState.h"
#include "platform/Platform.h"

namespace s2t {

// The least-squares line y = slope x + intercept through n points, computed by way of the sample
// standard deviations and the correlation coefficient.
void LinReg(const double* x, const double* y, int n, double* slope, double* intercept);

// Why a set of points cannot be fitted; empty when it can.
const char* linearFitRefusal(std::span<const CalibrationPoint> points);

// The least-squares line through the points: C (slope) and K (intercept). Returns the reason the
// points cannot be fitted (see linearFitRefusal, or a line that is not finite), or null with C and
// K set.
const char* fitStraightLine(std::span<const CalibrationPoint> points, double& C, double& K);

// Makes the listed points (in list order) the calibration points and sets C and K to the line
// fitted through them. Fewer than two points, or points that all share one channel, are refused
// with a message and change nothing; a horizontal set of points gives C = 0. Returns whether the
// calibration was changed.
bool calcCoefficients(CalibrationState& state, std::span<const CalibrationPoint> listed, Platform& platform);

}  // namespace s2t
