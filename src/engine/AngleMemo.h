// The angles of the last scan mapped, kept for the next one. The files of a batch mostly have the
// same number of channels and are mapped with the same calibration, so from the second file on
// mapping would compute the very same angles again; a scan whose abscissae and calibration equal
// the memo's takes its angles from here instead (the same doubles, and the same reports).
#pragma once

#include <cstddef>
#include <vector>

#include "calibration/CalibrationState.h"

namespace s2t {

// What mapping one scan gave: every point's 2-theta and what mapping noticed on the way.
struct MappedAngles {
    std::vector<double> twoTheta;
    bool zeroWidth = false;  // the spline met two calibration points with one channel
};

class AngleMemo {
public:
    // The angles kept for these abscissae (first + step x i, count of them) under this calibration
    // and mapping, or null when they were not the last mapped.
    const MappedAngles* find(const CalibrationState& calibration, bool straightLine, double first, double step,
                             std::size_t count) const;
    // Keeps what mapping gave for these abscissae.
    void keep(const CalibrationState& calibration, bool straightLine, double first, double step, MappedAngles angles);

private:
    bool valid_ = false;
    bool straightLine_ = false;
    double first_ = 0.0;
    double step_ = 0.0;
    double C_ = 0.0;
    double K_ = 0.0;
    std::vector<CalibrationPoint> calPoints_;
    MappedAngles angles_;
};

}  // namespace s2t
