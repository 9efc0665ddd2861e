// End guards: two calibration points beyond the pairs that make the calibration spline, between
// the first and the last pair, the not-a-knot spline through the pairs.
//
// Every conversion computes its calibration spline with both end slopes clamped to the
// least-squares slope of all points. On a curved channel law the slope at the first and the last
// reflection differs from that mean slope, and the clamp bends the first and last intervals away
// from the law (by a hundredth of a degree for a law that departs a tenth from a line). The
// not-a-knot spline through the same pairs has no such end condition: it takes the end slopes the
// pairs themselves imply. One guard point two mean pair intervals beyond each end moves the clamp
// out there; its 2-theta is chosen (a two-by-two linear system, the spline being linear in its
// ordinates) so that the clamped spline's curvature at the first and the last pair equals the
// not-a-knot spline's, which makes the two splines one between the pairs. Beyond the pairs, up to
// the guards, the spline continues the end intervals' curvature. Guards are not reflections: they
// carry no measurement and are marked wherever points are listed.
#pragma once

#include <span>
#include <vector>

#include "calibration/CalibrationState.h"

namespace s2t::peaks {

// The second derivatives of the not-a-knot cubic spline through points (ascending, distinct
// channels, at least three; three points give their parabola).
std::vector<double> notAKnotSecondDerivatives(std::span<const CalibrationPoint> points);

// The guard below and the guard above the points (at least three with distinct channels, any
// order), each on a whole channel and with the four decimals of 2-theta an option file keeps;
// computed for the points as given, so give them as they are stored. Empty when there are fewer
// than three points, two share a channel, or the guards cannot be solved for. scanChannels, when
// given, is the channel count of the scan the points were found in: no guard then lies inside it.
std::vector<CalibrationPoint> endGuards(std::span<const CalibrationPoint> points, std::size_t scanChannels = 0);

}  // namespace s2t::peaks
