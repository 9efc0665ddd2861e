// The command line: one CLI::App with a subcommand per job. Each command file adds its own
// subcommand; runCli parses and runs, and returns the exit status
// (0 success, 1 some work failed and was reported, 2 usage error).
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <string>

#include "calibration/CalibrationState.h"
#include "options/CalibrationSource.h"
#include "platform/LineEnd.h"
#include "platform/Platform.h"

namespace s2t::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailures = 1;
inline constexpr int kExitUsage = 2;

// --home DIR and --options FILE: where the calibration comes from.
void addCalibrationSourceOptions(CLI::App& command, CalibrationSource& source);

// --home DIR: the program folder (Default.pre and Standards/).
void addHomeOption(CLI::App& command, std::string& home);

// --json: the command's result as one JSON document on standard output instead of text (the keys
// are listed in the README).
void addJsonFlag(CLI::App& command, bool& asJson);

// The action of the chosen subcommand, set by its callback; returns the exit status.
using CommandAction = std::function<int()>;

// convert: the batch run; info: what each scan holds.
void addConvertCommand(CLI::App& app, CommandAction& action);
void addInfoCommand(CLI::App& app, CommandAction& action);
void addCalibrationCommands(CLI::App& app, CommandAction& action);
// calibration fit, calibration from-standard (below the calibration command).
void addCalibrationFitCommands(CLI::App& calibration, CommandAction& action);
// calibration auto: the calibration from a scan of a standard.
void addCalibrationAutoCommand(CLI::App& calibration, CommandAction& action);
// standards: the standards the program folder offers.
void addStandardsCommands(CLI::App& app, CommandAction& action);
// standards make: a standard file for another wavelength; returns the subcommand.
CLI::App* addStandardsMakeCommand(CLI::App& standards, CommandAction& action);

// Reports a usage error found after parsing (a malformed input line, an unknown name) the way
// the argument parser reports its own, and returns kExitUsage.
int usageError(std::string_view text);

// The exit status of a command that reported messages on platform: a status of success becomes
// kExitFailures once any message was shown, a warning included, so that every command agrees.
int statusAfterMessages(int status, int messagesShown);

// Writes text to standard output as it is.
void print(std::string_view text);

// Flushes standard output; when any of it could not be written, reports that on standard error
// and returns kExitFailures in place of status (a usage error stays one).
int finishStandardOutput(int status);

int runCli(int argc, char** argv);

}  // namespace s2t::cli
