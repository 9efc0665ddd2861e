// What the calibration commands share: fitting the straight line through calibration points,
// reporting it, writing the option file, and finding the standard that --standard names.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "Cli.h"
#include "calibration/CalibrationState.h"
#include "platform/JsonWriter.h"
#include "platform/LineEnd.h"
#include "platform/Platform.h"

namespace s2t::cli {

// Where the fitted calibration goes.
struct FitOutput {
    std::string path;                 // -o; empty: the program folder's Default.pre
    std::string lineEnd = "crlf";     // --line-end
    bool asJson = false;              // --json
    std::vector<std::string> inputs;  // the files the command read, which the option file never replaces
    // The standard the points were made from: named beside the option file (options/CalibrationOrigin.h).
    std::string standardName;
};

// Names standardName (when not empty) as the origin of state beside the option file at path;
// false after a message when that cannot be written.
bool recordStandard(const std::string& path, const std::string& standardName, const CalibrationState& state,
                    LineEnd lineEnd, Platform& platform);

// K and C as stored, and channel, 2-theta and line residual of one point, as members of the open
// JSON object, with the digits of the text reports.
void addLineJson(const CalibrationState& state, JsonWriter& json);
void addPointJson(const CalibrationState& state, const CalibrationPoint& point, JsonWriter& json);

// -o, --line-end and --json.
void addFitOutputOptions(CLI::App& command, FitOutput& output);

// Installs points as the calibration points of state, with K and C fitted through them (the
// linear points panel's OK), prints K, C and each point's residual against the line, and writes
// the option file: Default.pre of folder, or the -o file. Both are replaced without a question,
// since the command line names its target explicitly. Returns the exit status: the fit refused
// or the file not written are reported failures.
// With --json the report is a JSON object printed once the file is written (nothing is printed
// when the command fails): json, when given, is that object already opened and holding the
// command's own members; the fit's members are added to it.
int fitAndSave(CalibrationState& state, const std::string& folder, std::span<const CalibrationPoint> points,
               const FitOutput& output, Platform& platform, JsonWriter* json = nullptr);

// The standard file that --standard names: a standard of the program folder by name (letter case
// ignored), else a file. Returns kExitOk with path set, or the usage error it reported.
int findStandardFile(const std::string& argument, const std::string& folder, std::string& path);

}  // namespace s2t::cli
