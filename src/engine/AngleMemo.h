// The angles of the last scan mapped, kept for the next one. The files of a batch mostly have the
// same number of channels and are mapped with the same calibration, so from the second file on
// mapping would compute the very same angles again; a scan whose abscissae and calibration equal
// the memo's takes its angles from here instead (the same doubles, and the same reports), and
// with spline resampling the part of its spline that depends on the angles alone.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "calibration/CalibrationState.h"
#include "calibration/Spline.h"
#include "engine/ConversionRecords.h"

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
    void keep(const CalibrationState& calibration, bool straightLine, double first, double step,
              MappedAngles angles);
    // splineFactors() of the kept angles, when they are the abscissae of points and ascending;
    // else null. Computed once for each kept set of angles.
    const SplineFactors* splineFactorsFor(std::span<const ScanPoint> points);

private:
    bool valid_ = false;
    bool straightLine_ = false;
    double first_ = 0.0;
    double step_ = 0.0;
    double C_ = 0.0;
    double K_ = 0.0;
    std::vector<CalibrationPoint> calPoints_;
    MappedAngles angles_;
    std::optional<SplineFactors> factors_;  // empty when not yet computed or the angles are not ascending
    bool factorsTried_ = false;
};

}  // namespace s2t
