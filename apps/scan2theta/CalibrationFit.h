// What "calibration fit" and "calibration from-standard" share: fitting the straight line
// through calibration points, reporting it, and writing the option file.
#pragma once

#include <span>
#include <string>

#include "Cli.h"
#include "calibration/CalibrationState.h"
#include "platform/Platform.h"

namespace s2t::cli {

// Where the fitted calibration goes.
struct FitOutput {
    std::string path;              // -o; empty: the program folder's Default.pre
    std::string lineEnd = "crlf";  // --line-end
};

// -o and --line-end.
void addFitOutputOptions(CLI::App& command, FitOutput& output);

// Installs points as the calibration points of state, with K and C fitted through them (the
// linear points panel's OK), prints K, C and each point's residual against the line, and writes
// the option file: Default.pre of folder, or the -o file. Both are replaced without a question,
// since the command line names its target explicitly. Returns the exit status: the fit refused
// or the file not written are reported failures.
int fitAndSave(CalibrationState& state, const std::string& folder,
               std::span<const CalibrationPoint> points, const FitOutput& output,
               Platform& platform);

}  // namespace s2t::cli
