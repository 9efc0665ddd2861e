// Quitting with a calibration that Default.pre does not hold: the next start would begin with
// another one, so the user is asked whether to save it as the default first.
#pragma once

#include <string>
#include <string_view>

#include "calibration/CalibrationState.h"

namespace s2t::ui {

enum class UnsavedCalibrationAnswer { SaveAsDefault, QuitWithoutSaving, Cancel };

// How the question reaches the user: the desktop platform asks with three buttons; a platform
// without it is asked yes (save) or no (quit without saving).
class UnsavedCalibrationQuestion {
public:
    virtual ~UnsavedCalibrationQuestion() = default;
    virtual UnsavedCalibrationAnswer askAboutUnsavedCalibration(std::string_view title, std::string_view text) = 0;
};

// Whether the next start would put another calibration in force than this one: compared as the
// option file stores it (K and C to six decimals, the points to four), so a difference no file
// can hold is none.
bool differsFromDefault(const CalibrationState& calibration, const std::string& programFolder);

// The question, naming the Default.pre it is about.
std::string unsavedCalibrationText(const std::string& programFolder);

}  // namespace s2t::ui
