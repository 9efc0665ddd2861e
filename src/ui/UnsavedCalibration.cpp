#include "ui/UnsavedCalibration.h"

#include "options/OptionFile.h"
#include "ui/PanelMessages.h"
#include "ui/PreviewScan.h"

namespace s2t::ui {

bool differsFromDefault(const CalibrationState& calibration, const std::string& programFolder) {
    // What a start does: the built-in values, and Default.pre over them when it can be read (when it
    // cannot, or is missing, the built-in values hold or are written).
    CalibrationState next;
    next.installStartupValues();
    QuietPlatform quiet;
    loadOptionFile(defaultOptionsPath(programFolder), next, quiet);
    return optionFileText(calibration, LineEnd::Lf) != optionFileText(next, LineEnd::Lf);
}

std::string unsavedCalibrationText(const std::string& programFolder) {
    return messages::unsavedCalibration(defaultOptionsPath(programFolder));
}

}  // namespace s2t::ui
