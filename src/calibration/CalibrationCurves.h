// What a calibration looks like as curves over the channels: its points, the spline through them,
// the straight line, and how far each point lies from that line. The calibration panels plot
// these while the user edits the points.
#pragma once

#include <span>
#include <vector>

#include "calibration/CalibrationState.h"

namespace s2t {

struct CurvePoint {
    double channel = 0.0;
    double twoTheta = 0.0;  // degrees; for residuals the difference from the line
};

struct CalibrationCurves {
    std::vector<CurvePoint> points;     // the points as given
    std::vector<CurvePoint> spline;     // sampled spline; empty below two distinct channels
    std::vector<CurvePoint> line;       // C x channel + K at both ends of the channels plotted
    std::vector<CurvePoint> residuals;  // each point's 2-theta minus the line's, in point order
};

// The curves of points (in any order) and the line 2-theta = C x channel + K. The spline is the
// one a conversion uses (end slopes from the fit) sampled at `samples` channels from the lowest
// to the highest point; samples where it is not finite (equal channels) are left out.
CalibrationCurves calibrationCurves(std::span<const CalibrationPoint> points, double C, double K, int samples = 200);

}  // namespace s2t
