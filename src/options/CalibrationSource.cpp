#include "options/CalibrationSource.h"

#include "options/OptionFile.h"
#include "platform/Messages.h"
#include "platform/ProgramFolder.h"
#include "standards/ShippedStandards.h"

namespace s2t {

bool loadCalibration(const CalibrationSource& source, CalibrationState& state, Platform& platform,
                     std::string& folder) {
    folder = source.home.empty() ? defaultProgramFolder() : source.home;
    std::string error;
    if (!prepareProgramFolder(folder, error)) {
        platform.messagePopup(messages::kFileError, error);
        return false;
    }
    getCalibration(state, folder, platform, LineEnd::CrLf);
    if (!source.options.empty() && !loadOptionFile(source.options, state, platform)) return false;
    return true;
}

}  // namespace s2t
