// The calibration in force: the straight line 2-theta = C x channel + K and the calibration
// points (channel, 2-theta) that the cubic spline passes through. One object per program; the
// option files, the calibration panels, the fit and every conversion work on it.
#pragma once

#include <cstdint>
#include <vector>

namespace s2t {

struct CalibrationPoint {
    double channel = 0.0;      // the spline's abscissa
    double twoTheta = 0.0;     // the spline's ordinate, degrees
    double secondDeriv = 0.0;  // filled by spline(); never stored in a file

    static constexpr auto abscissa = &CalibrationPoint::channel;
    static constexpr auto ordinate = &CalibrationPoint::twoTheta;
    static constexpr auto secondDerivative = &CalibrationPoint::secondDeriv;
};

struct CalibrationHeader {
    double K = 0.0;  // intercept, degrees
    double C = 0.0;  // slope, degrees per channel
};

struct CalibrationState {
    CalibrationHeader header;
    std::vector<CalibrationPoint> calPoints;

    int numOfDataPoints() const { return static_cast<int>(calPoints.size()); }

    // The built-in calibration, installed before Default.pre is read.
    void installStartupValues();
};

// The built-in calibration values.
inline constexpr double kStartupK = 10.939501;
inline constexpr double kStartupC = 0.02692846;
inline constexpr CalibrationPoint kStartupPoints[] = {
    {655.0, 28.783, 0.0}, {1353.0, 47.304, 0.0}, {1681.0, 56.122, 0.0}, {2167.0, 69.132, 0.0}};

}  // namespace s2t
