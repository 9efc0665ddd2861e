// Gives every point of a freshly read scan its 2-theta from its abscissa (a channel index or an
// angle of the file's own), and notes a calibration spline with two points on one channel once
// per file. What it meets goes into the read's messages; nothing is shown here.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "calibration/CalibrationState.h"
#include "engine/AngleMemo.h"
#include "engine/ConversionRecords.h"
#include "engine/ReadResult.h"

namespace s2t {

// Whether the readers map with the straight line for this conversion: every one but the spline.
// The file's own angles fall back on the line for a file without any, the stored line is the
// line with the file's coefficients, and the channel list never uses the angle, so it takes the
// line too and needs no usable spline.
inline bool mapsWithStraightLine(Conversion conversion) { return conversion != kSplineConversion; }

// Why the calibration cannot map the file at path: the spline needs two points with different
// channels and finite coefficients. None when it can.
std::optional<UserMessage> calibrationRefusal(const CalibrationState& calibration, bool straightLine,
                                              const std::string& path);

// Sets points[i].twoTheta = channelToTTheta(first + step x i) for every point: the channel index
// for a channel file (first 0, step 1), the file's own angle for a GUFI file. False, with an
// "Error" message naming the file at path added to notes, when an angle comes out as no finite
// number (a calibration so steep that the angles overflow): such a scan is not converted. Two
// spline points on one channel add their message too. memo: the angles
// of the scan mapped before, taken when they fit and replaced when they do not (null: none kept).
bool mapScanToTwoTheta(std::vector<ScanPoint>& points, double first, double step, const CalibrationState& calibration,
                       bool straightLine, const std::string& path, std::vector<UserMessage>& notes,
                       AngleMemo* memo = nullptr);

// The same for a scan whose abscissae follow no constant step: points[i].twoTheta =
// channelToTTheta(abscissae[i]). Nothing is kept in a memo.
bool mapAbscissaeToTwoTheta(std::vector<ScanPoint>& points, const std::vector<double>& abscissae,
                            const CalibrationState& calibration, bool straightLine, const std::string& path,
                            std::vector<UserMessage>& notes);

// Gives the points of a successful read their 2-theta for request. keepAngles: a scan with angles
// of its own under kFileAngles keeps them. kTrailerCalibration maps with the straight line the
// file stores (refused when it stores none, or a curve); every other conversion with calibration,
// which the caller has checked with calibrationRefusal. A mapping that fails fails the read.
void mapReadScan(ReadResult& read, const ConversionRequest& request, const CalibrationState& calibration,
                 bool keepAngles);

}  // namespace s2t
