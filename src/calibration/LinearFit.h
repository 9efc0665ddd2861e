// The least-squares straight line through calibration points, and its installation as the
// calibration in force.
//
// Why a second straight-line fit beside peaks/WeightedLine.h: this one is the linear points panel's
// (and `calibration fit`'s), unweighted and computed by way of the standard deviations and the
// correlation coefficient. Its last bits reach the K and C that option files store, so every file
// saved from the same points must keep its digits, and the weighted routine's sums about the mean
// round differently. The weighted fit serves the calibration from a standard scan, whose pairs
// carry uncertainties of their own and whose result must carry the uncertainties of K and C. Two
// routines, then, because one must never change and the other must weigh.
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
