#include "ui/StartUp.h"

#include "options/CalibrationOrigin.h"
#include "options/OptionFile.h"
#include "platform/Messages.h"
#include "platform/ProgramFolder.h"
#include "standards/ShippedStandards.h"
#include "ui/CalibrationPanels.h"
#include "ui/LineEndPreference.h"
#include "ui/MainPanel.h"
#include "ui/RememberedChoices.h"

namespace s2t::ui {

bool startSession(Session& session, const std::string& home, Platform& platform) {
    session.projectDir = home.empty() ? defaultProgramFolder() : home;
    std::string error;
    if (!prepareProgramFolder(session.projectDir, error)) {
        platform.messagePopup(messages::kFileError, error);
        return false;
    }
    session.settings.lineEnd = loadLineEndPreference(session.projectDir);
    applyRememberedRecords(loadRememberedChoices(session.projectDir), session.settings);
    getCalibration(session.calibration, session.projectDir, platform, session.settings.lineEnd);
    if (auto origin = readCalibrationOrigin(defaultOptionsPath(session.projectDir)))
        session.calibrationOrigin = *origin;
    return true;
}

void fillMainPanel(MainPanel& panel, const std::vector<std::string>& files) {
    panel.refreshCalibrationDisplays();
    panel.appendFiles(files);
    panel.dimAsNeeded();
    panel.updatePreview();
}

void connectCalibrationPanels(MainPanel& panel, Session& session, Platform& platform) {
    MainPanel* main = &panel;
    Session* state = &session;
    Platform* services = &platform;
    const auto showCalibration = [main] { main->refreshCalibrationDisplays(); };
    QObject::connect(main, &MainPanel::straightLinePanelRequested, main,
                     [=] { openStraightLinePanel(main, *state, *services, showCalibration); });
    QObject::connect(main, &MainPanel::linearPointsPanelRequested, main,
                     [=] { openLinearPointsPanel(main, *state, *services, showCalibration); });
    QObject::connect(main, &MainPanel::splinePanelRequested, main,
                     [=] { openSplinePanel(main, *state, *services, showCalibration); });
}

}  // namespace s2t::ui
