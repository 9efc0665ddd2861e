// Everything a running program keeps between actions: the calibration in force, the conversion
// settings, and the program folder. The desktop program and the command line each own one; tests
// build their own.
#pragma once

#include <string>

#include "calibration/CalibrationState.h"
#include "engine/ConversionRecords.h"

namespace s2t {

struct Session {
    CalibrationState calibration;
    ConversionSettings settings;
    std::string projectDir;  // the program folder: Default.pre, Standards/
};

}  // namespace s2t
