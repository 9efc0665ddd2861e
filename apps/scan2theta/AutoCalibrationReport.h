// What "calibration auto" reports: as text for a person, as JSON for a script (--json), with
// the same digits in both.
#pragma once

#include <cstddef>
#include <string>

#include "peaks/AutoCalibration.h"

namespace s2t::cli {

struct AutoCalibrationRun {
    std::string standardPath, scanPath;
    std::size_t channels = 0;
    peaks::AutoCalibrationSettings settings;
    peaks::AutoCalibrationResult result;
};

// The table of matched reflections (residuals from the stored line), what was left over, the
// weighted line with its uncertainties, and the line as stored.
std::string autoCalibrationText(const AutoCalibrationRun& run);

// The same as one JSON object, with the files written.
std::string autoCalibrationJson(const AutoCalibrationRun& run, const std::string& optionFile,
                                const std::string& peakFile);

}  // namespace s2t::cli
