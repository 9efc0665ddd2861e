// Where a calibration comes from outside the desktop program: the program folder's Default.pre,
// then an option file over it. The command line and the Python module load it the same way.
#pragma once

#include <string>

#include "calibration/CalibrationState.h"
#include "platform/Platform.h"

namespace s2t {

struct CalibrationSource {
    std::string home;     // program folder; empty: the per-user configuration folder
    std::string options;  // option file loaded after Default.pre; empty: none
};

// Prepares the program folder and loads the calibration as the desktop program does at
// start-up, then the option file. False (reported) when the folder or the option file fails.
// folder: the program folder used.
bool loadCalibration(const CalibrationSource& source, CalibrationState& state, Platform& platform, std::string& folder);

}  // namespace s2t
