// The desktop program's start-up: the program folder, the remembered preferences and
// the calibration, and the main panel filled with the files named on the command line.
#pragma once

#include <string>
#include <vector>

#include "engine/Session.h"
#include "platform/Platform.h"

namespace s2t::ui {

class MainPanel;

// Prepares the program folder (created and seeded when missing), reads the line-end preference
// and the option panels' remembered records, and loads the calibration (Default.pre over the built-in values). False
// (reported as "File Error") when the folder cannot be used.
bool startSession(Session& session, const std::string& home, Platform& platform);

// Lists the start-up files (as they are, with their kinds, duplicates included), shows K and C
// and applies the enabling rules once.
void fillMainPanel(MainPanel& panel, const std::vector<std::string>& files);

// Opens the calibration panels from the main panel's menu; whatever they change in the calibration
// shows on the main panel at once.
void connectCalibrationPanels(MainPanel& panel, Session& session, Platform& platform);

}  // namespace s2t::ui
