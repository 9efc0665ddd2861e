// The titles and texts that only the desktop program shows: its windows' titles, its own popups,
// their buttons and its file dialogs. What the core shows through the platform (reading,
// writing, option files, standards) is in platform/Messages.h, which this header includes: a
// panel names every text it shows as messages::..., and the core library carries no text of a
// program it is not part of. The tests of the panels check against the same constants.
//
// "Max 2-theta Value must be larger\nthen Min 2-Theta Value." keeps its "then" on purpose, as the
// core's texts keep theirs: users have met it for years.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/Messages.h"

namespace s2t::messages {

// Window titles.
inline constexpr const char* kMainWindowTitle = "scan2theta";
inline constexpr const char* kStraightLineTitle = "Straight Line Calibration";
inline constexpr const char* kLinearPointsTitle = "Linear Calibration Points";
inline constexpr const char* kSplineTitle = "Spline Calibration";
inline constexpr const char* kStandardsTitle = "Standards";
inline constexpr const char* kScanPeaksTitle = "Peaks in %1";  // %1: the scan's name
inline constexpr const char* kConvertingTitle = "Converting";
inline constexpr const char* kConstantStepTitle = "Constant Step Options";
inline constexpr const char* kRangeTitle = "Range Options";
inline constexpr const char* kCpiTitle = "CPI Options";
inline constexpr const char* kGuideTitle = "Guide";
inline constexpr const char* kAboutTitle = "About scan2theta";

// File dialogs.
inline constexpr const char* kSelectInputFiles = "Select the input files";
inline constexpr const char* kSelectOptionFile = "Select Option File";
inline constexpr const char* kSelectStandardScan = "Select the Scan of the Standard";

// Adding files to the list.
inline constexpr const char* kFilesNotAdded = "Files Not Added";
inline constexpr const char* kFoldersNotListed = "Folders are not listed; add the scans inside them instead:";
inline constexpr const char* kOtherKindNotListed = "Not of the kind of the first listed file, so not listed:";

// The option panels' refusals (under "Not Possible").
inline constexpr const char* kStepNotAbove0 = "The constant step must be larger\nthan 0.";
inline constexpr const char* kRangeReversed = "Max 2-theta Value must be larger\nthen Min 2-Theta Value.";

// The spline panel's refusal (under "Not Possible"); channel as shown.
inline std::string channelListedTwice(std::string_view channel) {
    return "A spline needs points with different channels:\nchannel " + std::string(channel) +
           " is listed more than once.";
}

// The end of a batch of several files.
inline constexpr const char* kBatchFinished = "Batch Finished";
inline constexpr const char* kBeforeTheFirstFile = "(before the first file)";
inline std::string filesText(int n) { return std::to_string(n) + (n == 1 ? " file" : " files"); }
inline std::string batchHeadline(int written, std::string_view folder, int skipped) {
    return filesText(written) + " written to " + std::string(folder) + ", " + std::to_string(skipped) + " skipped.";
}
inline std::string batchCancelled(int notConverted) {
    return "\nCancelled: " + filesText(notConverted) + " not converted.";
}

// Quitting with a calibration that is not the default.
inline constexpr const char* kUnsavedCalibrationTitle = "Calibration Not Saved";
inline std::string unsavedCalibration(std::string_view defaultOptionFile) {
    return "The calibration in force is not the one in\n" + std::string(defaultOptionFile) +
           ",\nwhich the next start begins with.\n\nSave it as the default before quitting?";
}
inline constexpr const char* kSaveAsDefaultButton = "Save as Default";
inline constexpr const char* kQuitWithoutSavingButton = "Quit Without Saving";

}  // namespace s2t::messages
