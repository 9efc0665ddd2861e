// The desktop program's start-up: its arguments, the program folder, the line-end preference and
// the calibration, and the main panel filled with the files named on the command line.
#pragma once

#include <string>
#include <vector>

#include <QStringList>

#include "engine/Session.h"
#include "platform/Platform.h"

namespace s2t::ui {

class MainPanel;

struct StartOptions {
    std::string home;                // --home DIR; empty: the per-user configuration folder
    std::vector<std::string> files;  // the files to list, in order
    std::string error;               // a usage error; empty when the arguments are fine
};

// "[--home DIR] [FILE...]" (also --home=DIR). Arguments are taken without the program name.
StartOptions parseStartOptions(const QStringList& arguments);

// Prepares the program folder (created and seeded when missing), reads the line-end preference,
// and loads the calibration (Default.pre over the built-in values). False (reported as
// "File Error") when the folder cannot be used.
bool startSession(Session& session, const std::string& home, Platform& platform);

// Lists the start-up files (as they are, with their kinds, duplicates included), shows K and C
// and applies the enabling rules once.
void fillMainPanel(MainPanel& panel, const std::vector<std::string>& files);

// Opens the calibration panels from the main panel's menu; whatever they change in the calibration
// shows on the main panel at once.
void connectCalibrationPanels(MainPanel& panel, Session& session, Platform& platform);

}  // namespace s2t::ui
