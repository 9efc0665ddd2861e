// Option files (*.pre): the calibration (K, C and the calibration points) as text, the tolerant
// reader, the exact writer, Default.pre at start-up, and saving with the "Replace" question.
#pragma once

#include <string>
#include <vector>

#include "calibration/CalibrationState.h"
#include "options/TextFile.h"
#include "platform/LineEnd.h"
#include "platform/Platform.h"

namespace s2t {

enum class OptionSection { None, Header, Data };

// What saving an option file came to.
enum class SaveOutcome {
    Written,   // the file holds the calibration
    Declined,  // the user chose not to replace the existing file; nothing written
    Failed,    // the file could not be written (reported); an existing file is unchanged
};

// The text of an option file for a calibration, with the given line end.
std::string optionFileText(const CalibrationState& state, LineEnd lineEnd);

// Gives K, C and the calibration points the values optionFileText writes for them (six decimals
// for K and C, four for the points): once a calibration is stored, the values in force are the
// stored ones, so that the run that stored them and every later run give the same results.
void adoptStoredValues(CalibrationState& state);

// Parses an open option file into the calibration state; only what the file names changes.
void readOptionLines(TextFile& file, CalibrationState& state, Platform& platform);

// Loads the option file at path. A file that cannot be opened, or is larger than 16 MiB, is
// reported and changes nothing. Returns whether the file was read.
bool loadOptionFile(const std::string& path, CalibrationState& state, Platform& platform);

// Writes the calibration to path. Without force an existing file is replaced only if the user
// agrees. The file is replaced whole or not at all, and never when it is not a regular file or is
// one of inputs (files the command reads), whatever the answer: "File Error" says why.
SaveOutcome saveOptionsFile(const std::string& path, bool force, const CalibrationState& state, Platform& platform,
                            LineEnd lineEnd, const std::vector<std::string>& inputs = {});

// The path of Default.pre in the program folder.
std::string defaultOptionsPath(const std::string& programFolder);

// Start-up: installs the built-in calibration, then reads Default.pre over it, or creates
// Default.pre from the built-in values when there is none (the values in force are then those
// written).
void getCalibration(CalibrationState& state, const std::string& programFolder, Platform& platform, LineEnd lineEnd);

}  // namespace s2t
