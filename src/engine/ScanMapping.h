// Gives every point of a freshly read scan its 2-theta from its abscissa (a channel index or a
// GUFI angle), and reports a calibration spline with two points on one channel once per file.
#pragma once

#include "calibration/CalibrationState.h"
#include "engine/AngleMemo.h"
#include "engine/ConversionRecords.h"
#include "platform/Platform.h"

namespace s2t {

// Whether the readers map with the straight line for this conversion: every one but the spline.
// The file's own angles fall back on the line for a file without any, the stored line is the
// line with the file's coefficients, and the channel list never uses the angle, so it takes the
// line too and needs no usable spline.
inline bool mapsWithStraightLine(Conversion conversion) { return conversion != kSplineConversion; }

// Whether the calibration can map this file: the spline needs two points with different
// channels and finite coefficients. Otherwise reports it and returns false.
bool calibrationCanMap(const CalibrationState& calibration, bool straightLine, const std::string& path,
                       Platform& platform);

// Sets points[i].twoTheta = channelToTTheta(first + step x i) for every point: the channel index
// for a channel file (first 0, step 1), the file's own angle for a GUFI file. False, after an
// "Error" message naming the file at path, when an angle comes out as no finite number (a
// calibration so steep that the angles overflow): such a scan is not converted. memo: the angles
// of the scan mapped before, taken when they fit and replaced when they do not (null: none kept).
bool mapScanToTwoTheta(std::vector<ScanPoint>& points, double first, double step, const CalibrationState& calibration,
                       bool straightLine, const std::string& path, Platform& platform, AngleMemo* memo = nullptr);

// The same for a scan whose abscissae follow no constant step: points[i].twoTheta =
// channelToTTheta(abscissae[i]). Nothing is kept in a memo.
bool mapAbscissaeToTwoTheta(std::vector<ScanPoint>& points, const std::vector<double>& abscissae,
                            const CalibrationState& calibration, bool straightLine, const std::string& path,
                            Platform& platform);

}  // namespace s2t
