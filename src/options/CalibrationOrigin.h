// Which standard a calibration was made from, kept beside its option file.
//
// The option file's format has no room for it, and every program that reads or writes option
// files must go on reading and writing them as before, byte for byte. So a calibration made from
// a standard ("calibration auto", "calibration from-standard", the standards window) leaves a small
// text file beside its option file, NAME.pre.standard:
//
//     standard=Silicon
//     calibration=0123456789abcdef
//
// the second line a fingerprint (64-bit FNV-1a) of the calibration as the option file stores it.
// The name holds for that calibration only: an option file replaced by any other program or
// command, points edited afterwards, another option file loaded over it, -K or -C on the command
// line, all give another fingerprint, and the standard is then unknown. A stale file never names
// the wrong standard, and nothing but the writers of calibrations from standards knows of it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calibration/CalibrationState.h"
#include "platform/LineEnd.h"
#include "platform/Platform.h"

namespace s2t {

struct CalibrationOrigin {
    std::string standardName;  // empty: not known to come from a standard
    std::uint64_t fingerprint = 0;
};

// The fingerprint of a calibration as an option file stores it (K and C to six decimals, the
// points to four), whatever the line end.
std::uint64_t calibrationFingerprint(const CalibrationState& state);

// The origin file beside the option file at optionPath.
std::string originFilePath(const std::string& optionPath);

// The origin of state as made from the standard named standardName.
CalibrationOrigin originFromStandard(const std::string& standardName, const CalibrationState& state);

// The standard state was made from, when origin holds for it; empty otherwise.
std::string standardNameFor(const CalibrationOrigin& origin, const CalibrationState& state);

// Writes origin beside the option file at optionPath (replacing an older one); "File Error" and
// false when it cannot be written.
bool writeCalibrationOrigin(const std::string& optionPath, const CalibrationOrigin& origin, Platform& platform,
                            LineEnd lineEnd);

// After state was saved to optionPath: writes origin beside it when it names the standard state
// was made from (standardNameFor); true when there was nothing to write or it was written.
bool recordCalibrationOrigin(const std::string& optionPath, const CalibrationOrigin& origin,
                             const CalibrationState& state, Platform& platform, LineEnd lineEnd);

// The origin file beside the option file at optionPath; nothing when there is none or it is not
// one (silently: it only ever adds a name).
std::optional<CalibrationOrigin> readCalibrationOrigin(const std::string& optionPath);

// Of the origin files beside optionPaths, the last that holds for state; an empty origin when none
// does.
CalibrationOrigin originAmong(const std::vector<std::string>& optionPaths, const CalibrationState& state);

}  // namespace s2t
