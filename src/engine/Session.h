// Everything a running program keeps between actions: the calibration in force, the conversion
// settings, the program folder, and the radiation a standard's scan is fitted for. The desktop program and the command
// line each own one; tests build their own.
#pragma once

#include <string>

#include "calibration/CalibrationState.h"
#include "engine/ConversionRecords.h"
#include "options/CalibrationOrigin.h"
#include "peaks/Radiation.h"

namespace s2t {

struct Session {
    CalibrationState calibration;
    ConversionSettings settings;
    std::string projectDir;  // the program folder: Default.pre, Standards/
    // The standard the calibration was made from, as far as known; it names the standard only while
    // it holds for calibration (standardNameFor).
    CalibrationOrigin calibrationOrigin;
    // The K-alpha lines "Find Peaks in Scan..." fits, as last entered there (not stored in a file).
    peaks::Radiation scanRadiation;
};

}  // namespace s2t
